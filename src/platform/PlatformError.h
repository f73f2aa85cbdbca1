#pragma once

#include "base/DescribedError.h"

#include <utility>

namespace orvella {

// The platform layer's failure: a facility could not be started or used.
class PlatformError : public DescribedError
{
public:
    explicit PlatformError(QString description)
        : m_description(std::move(description))
    { }
    [[nodiscard]] QString description() const override { return m_description; }

private:
    QString m_description;
};

} // namespace orvella
