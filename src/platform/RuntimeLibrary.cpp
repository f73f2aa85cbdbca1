#include "platform/RuntimeLibrary.h"

#include <dlfcn.h>

namespace orvella {

RuntimeLibrary::RuntimeLibrary(const char *fileName)
    : m_handle(dlopen(fileName, RTLD_NOW | RTLD_LOCAL))
{
    if (!m_handle)
        m_failure = QString::fromLocal8Bit(dlerror());
}

void *RuntimeLibrary::symbol(const char *name)
{
    if (!m_handle)
        return nullptr;
    void *found = dlsym(m_handle, name);
    if (!found && m_failure.isEmpty())
        m_failure = QString::fromLocal8Bit(dlerror());
    return found;
}

} // namespace orvella
