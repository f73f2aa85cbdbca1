#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace orvella {

// Base of every failure the client throws on purpose: each layer has its own kind (the API's
// APIError and its kin, PlatformError, CaptureError). Screens catch it and show description()
// inline; anything else thrown is a programming error and is left to propagate.
class DescribedError : public std::exception
{
public:
    [[nodiscard]] virtual QString description() const = 0;
    [[nodiscard]] const char *what() const noexcept override;

private:
    mutable QByteArray m_what;
};

} // namespace orvella
