#pragma once

#include "base/DescribedError.h"

namespace orvella {

// The studio's own failure, shown inline as one line of text.
class CaptureError : public DescribedError
{
public:
    enum class Kind { exportUnavailable, exportFailed };

    explicit CaptureError(Kind kind)
        : m_kind(kind)
    { }

    [[nodiscard]] Kind kind() const { return m_kind; }
    [[nodiscard]] QString description() const override
    {
        switch (m_kind) {
        case Kind::exportUnavailable:
            return QStringLiteral("Video export is unavailable on this computer.");
        case Kind::exportFailed:
            return QStringLiteral("The recording could not be processed.");
        }
        return {};
    }

    bool operator==(const CaptureError &other) const { return m_kind == other.m_kind; }

private:
    Kind m_kind;
};

} // namespace orvella
