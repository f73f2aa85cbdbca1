#pragma once

#include <QString>
#include <exception>

namespace orvella {

// The studio's own failure, shown inline as one line of text.
class CaptureError : public std::exception
{
public:
    enum class Kind { exportUnavailable, exportFailed };

    explicit CaptureError(Kind kind)
        : m_kind(kind)
    { }

    [[nodiscard]] Kind kind() const { return m_kind; }
    [[nodiscard]] QString description() const
    {
        switch (m_kind) {
        case Kind::exportUnavailable:
            return QStringLiteral("Video export is unavailable on this computer.");
        case Kind::exportFailed:
            return QStringLiteral("The recording could not be processed.");
        }
        return {};
    }
    [[nodiscard]] const char *what() const noexcept override { return "CaptureError"; }

    bool operator==(const CaptureError &) const = default;

private:
    Kind m_kind;
};

} // namespace orvella
