#pragma once

// Pictures of the whole window (see AppWindowShots.h), signed in and on live from the start,
// each at the usual size and at the smallest window.

#include "support/AppWindowShots.h"

namespace orvella::test {

class ScreenshotHarness : public AppWindowShots
{
protected:
    void SetUp() override
    {
        AppWindowShots::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            ASSERT_TRUE(openOn(MacRoute::Live));
    }

    void shoot(const QString &name) { shootSizes(name, true, std::chrono::milliseconds(600)); }
};

} // namespace orvella::test
