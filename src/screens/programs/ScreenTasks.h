#pragma once

#include <QString>
#include <exception>
#include <optional>

namespace orvella {

// The text a screen shows for a failure; none for a cancelled request, which is never an error.
[[nodiscard]] std::optional<QString> failureText(std::exception_ptr error);

} // namespace orvella
