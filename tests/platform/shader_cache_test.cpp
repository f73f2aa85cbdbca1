#include "platform/ShaderCacheGuard.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvella;

namespace {

// Restores the variables the guard reads and writes.
class ShaderCacheGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : names)
            saved.append(qgetenv(name));
        qunsetenv("MESA_SHADER_CACHE_DISABLE");
        qunsetenv("MESA_SHADER_CACHE_DIR");
        qputenv("XDG_CACHE_HOME", "/cache-home");
        qInstallMessageHandler(&ShaderCacheGuardTest::record);
        warnings.clear();
    }
    void TearDown() override
    {
        qInstallMessageHandler(nullptr);
        for (int i = 0; i < int(std::size(names)); ++i) {
            if (saved[i].isNull())
                qunsetenv(names[i]);
            else
                qputenv(names[i], saved[i]);
        }
    }
    static void record(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtWarningMsg)
            warnings.append(message);
    }

    static constexpr const char *names[]
        = { "MESA_SHADER_CACHE_DISABLE", "MESA_SHADER_CACHE_DIR", "XDG_CACHE_HOME" };
    QList<QByteArray> saved;
    static inline QStringList warnings;
};

TEST_F(ShaderCacheGuardTest, SwitchesTheDriverCacheOffOnlyWhenItsDiskIsFull)
{
    struct Case
    {
        const char *name;
        const char *cacheDir; // MESA_SHADER_CACHE_DIR, or null
        std::optional<qint64> free;
        QString askedFolder;
        bool disabled;
    };
    const Case cases[] = {
        { "full disk", nullptr, 4096, QStringLiteral("/cache-home/mesa_shader_cache"), true },
        { "own folder full", "/elsewhere", 0, QStringLiteral("/elsewhere"), true },
        { "room enough", nullptr, qint64(1) << 30, QStringLiteral("/cache-home/mesa_shader_cache"),
            false },
        { "unknown room", nullptr, std::nullopt, QStringLiteral("/cache-home/mesa_shader_cache"),
            false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        qunsetenv("MESA_SHADER_CACHE_DISABLE");
        if (c.cacheDir)
            qputenv("MESA_SHADER_CACHE_DIR", c.cacheDir);
        else
            qunsetenv("MESA_SHADER_CACHE_DIR");
        warnings.clear();
        QString asked;
        const bool disabled = disableShaderCacheWhenDiskFull([&](const QString &path) {
            asked = path;
            return c.free;
        });
        EXPECT_EQ(asked, c.askedFolder);
        EXPECT_EQ(disabled, c.disabled);
        EXPECT_EQ(qgetenv("MESA_SHADER_CACHE_DISABLE"), c.disabled ? "true" : "");
        EXPECT_EQ(warnings.size(), c.disabled ? 1 : 0);
    }
}

TEST_F(ShaderCacheGuardTest, LeavesAViewersOwnSettingAlone)
{
    qputenv("MESA_SHADER_CACHE_DISABLE", "false");
    bool asked = false;
    EXPECT_FALSE(disableShaderCacheWhenDiskFull([&](const QString &) {
        asked = true;
        return std::optional<qint64>(0);
    }));
    EXPECT_FALSE(asked);
    EXPECT_EQ(qgetenv("MESA_SHADER_CACHE_DISABLE"), "false");
}

TEST_F(ShaderCacheGuardTest, MeasuresAFolderNotYetMadeOnTheDiskThatWouldHoldIt)
{
    QTemporaryDir dir;
    const auto here = freeBytesAt(dir.path());
    ASSERT_TRUE(here.has_value());
    const auto below = freeBytesAt(dir.path() + QStringLiteral("/not/yet/made"));
    ASSERT_TRUE(below.has_value());
    // Another process may write meanwhile: the same disk within a margin.
    EXPECT_NEAR(double(*below), double(*here), double(qint64(64) << 20));
}

} // namespace
