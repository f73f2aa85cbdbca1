#include "../core/AppModelHarness.h"
#include "app/AppServices.h"

#include <gtest/gtest.h>

namespace {

using namespace orvella;
using namespace orvella::test;

class DeliveryArguments : public AppModelHarness
{
};

TEST_F(DeliveryArguments, TakeTheSettingsAndThePortalOfTheConfiguration)
{
    AppModel &app = build();
    // No configuration yet: no portal, and empty details are sent as they are.
    delivery::UploadArguments arguments = studioUploadArguments(app);
    EXPECT_EQ(arguments.name, "");
    EXPECT_EQ(arguments.email, "");
    EXPECT_TRUE(arguments.portal.isEmpty());

    app.settings()->setDisplayName("Ann Lee");
    app.settings()->setEmail("ann@example.org");
    service.on("GET", "tv/config",
        ScriptedAnswer::envelope(QJsonObject { { "urls",
            QJsonObject { { "testimony", "https://orvella.example/testimony?lang=en" } } } }));
    service.on("GET", "tv/home", ScriptedAnswer::envelope(QJsonObject {}));
    runTask(app.refreshEventScheduleData());
    arguments = studioUploadArguments(app);
    EXPECT_EQ(arguments.name, "Ann Lee");
    EXPECT_EQ(arguments.email, "ann@example.org");
    EXPECT_EQ(arguments.portal,
        QUrl("https://orvella.example/testimony?lang=en&src=macos&platform=macos"));

    // A configuration whose links lack the portal.
    service.on("GET", "tv/config",
        ScriptedAnswer::envelope(
            QJsonObject { { "urls", QJsonObject { { "give", "https://g" } } } }));
    runTask(app.refreshEventScheduleData());
    EXPECT_TRUE(studioUploadArguments(app).portal.isEmpty());
}

} // namespace
