#pragma once

#include <QObject>
#include <memory>

namespace orvella::test {

// How often a signal was emitted since counting started.
template<typename Sender, typename Signal>
std::shared_ptr<int> countEmissions(Sender *sender, Signal signal)
{
    auto count = std::make_shared<int>(0);
    QObject::connect(sender, signal, sender, [count] { ++*count; });
    return count;
}

} // namespace orvella::test
