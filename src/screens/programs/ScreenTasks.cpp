#include "screens/programs/ScreenTasks.h"

#include "api/APIError.h"

namespace orvella {

std::optional<QString> failureText(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const TransportError &transport) {
        if (transport.kind() == TransportError::Kind::Cancelled)
            return std::nullopt;
        return transport.description();
    } catch (const DescribedError &failure) {
        return failure.description();
    }
}

} // namespace orvella
