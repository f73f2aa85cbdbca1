#pragma once

#include <QString>
#include <exception>
#include <optional>
#include <stop_token>

namespace orvella {

// Stops the work of one purpose and hands out the token of its successor.
[[nodiscard]] std::stop_token restartStop(std::stop_source &source);

// The text a screen shows for a failure; none for a cancelled request, which is never an error.
[[nodiscard]] std::optional<QString> failureText(std::exception_ptr error);

} // namespace orvella
