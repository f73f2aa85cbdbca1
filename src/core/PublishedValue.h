#pragma once

#include <utility>

namespace orvella {

// The setter of a published property: stores `value` in `field` and emits `changed` on `owner`
// only when it differs. Returns whether it changed.
template<typename Owner, typename Field, typename Value>
bool publish(Owner *owner, Field &field, Value &&value, void (Owner::*changed)())
{
    // Two empty lists are equal without Qt 6.4's memcmp on a null buffer (undefined behaviour).
    if constexpr (requires {
                      field.isEmpty();
                      value.isEmpty();
                  }) {
        if (field.isEmpty() && value.isEmpty())
            return false;
    }
    if (field == value)
        return false;
    field = std::forward<Value>(value);
    emit(owner->*changed)();
    return true;
}

} // namespace orvella
