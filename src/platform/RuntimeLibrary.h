#pragma once

#include <QString>

namespace orvella {

// A shared library opened at run time rather than linked, and never closed (threads it started
// may outlive any owner here). Functions are looked up by name into typed pointers.
class RuntimeLibrary
{
public:
    explicit RuntimeLibrary(const char *fileName);

    // Looks `name` up into `function`; a failure is kept for failure().
    template<typename Function>
    void resolve(Function &function, const char *name)
    {
        function = reinterpret_cast<Function>(symbol(name));
    }

    // Why the library or one of its functions could not be had; empty when all went well.
    [[nodiscard]] QString failure() const { return m_failure; }

private:
    [[nodiscard]] void *symbol(const char *name);

    void *m_handle = nullptr;
    QString m_failure;
};

} // namespace orvella
