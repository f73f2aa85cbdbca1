#include "ApiTestSupport.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;
using namespace orvella;
using namespace orvella::test;

namespace {

using ClientCore = ClientFixture;

TEST_F(ClientCore, GetConfigDecodesTheDataOfTheEnvelope)
{
    service.on("GET", u"tv/config"_s,
        ScriptedAnswer::envelope(QJsonObject { { "image_base", "https://img" },
            { "live_languages",
                QJsonArray { QJsonObject { { "code", "en" }, { "label", "English" } } } } }));
    const TvConfig config = runTask(client->getConfig());
    EXPECT_EQ(config.image_base, u"https://img"_s);
    ASSERT_TRUE(config.live_languages);
    EXPECT_EQ(config.live_languages->first().code, u"en"_s);
    EXPECT_EQ(lastRequest().header("X-Platform"), "macos");
    EXPECT_EQ(lastRequest().header("Cache-Control"), "no-cache");
}

} // namespace
