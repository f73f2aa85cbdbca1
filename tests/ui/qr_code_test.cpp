#include "api/AccountModels.h"
#include "platform/QrEncoder.h"
#include "ui/QrCode.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace orvella;

TEST(QrEncoder, AddsAOneModuleLightMarginAroundLevelM)
{
    // 23 bytes fit version 2 at level M: 25 modules, 27 with the margin.
    const auto matrix = encodeQr("https://orvella.tv/give");
    ASSERT_TRUE(matrix);
    EXPECT_EQ(matrix->size, 27);
    for (int i = 0; i < matrix->size; ++i) {
        EXPECT_FALSE(matrix->isDark(i, 0));
        EXPECT_FALSE(matrix->isDark(0, i));
        EXPECT_FALSE(matrix->isDark(i, matrix->size - 1));
        EXPECT_FALSE(matrix->isDark(matrix->size - 1, i));
    }
    // The finder pattern's corner module sits just inside the margin.
    EXPECT_TRUE(matrix->isDark(1, 1));
    EXPECT_FALSE(encodeQr(QByteArray()));
    EXPECT_FALSE(encodeQr(QByteArray(8000, 'x'))); // beyond the largest QR code
}

TEST(QRCodeGenerator, GivesOnePixelPerModuleAndAnUnroundedScale)
{
    const QImage image = QRCodeGenerator::image(QStringLiteral("https://orvella.tv/give"));
    ASSERT_EQ(image.size(), QSize(27, 27));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_DOUBLE_EQ(QRCodeGenerator::scaleFactor(180, 27), 180.0 / 27);
    EXPECT_TRUE(QRCodeGenerator::image(QString(5000, u'é')).isNull());
}

TEST(QRPayload, PrefersTheCompleteAddressThenTheQrThenTheVerificationAddress)
{
    const QString complete = QStringLiteral("https://www.orvella.tv/activate?code=ABCD");
    const QString qr = QStringLiteral("https://orvella.tv/q/ABCD");
    const QString verification = QStringLiteral("https://www.orvella.tv/activate");
    EXPECT_EQ(QRPayload::url(complete, qr, verification), QUrl(complete));
    EXPECT_EQ(QRPayload::url(std::nullopt, std::nullopt, verification), QUrl(verification));
    // A value that does not parse is passed over like an absent one.
    EXPECT_EQ(
        QRPayload::url(QStringLiteral("http://exa mple.com/%zz"), qr, verification), QUrl(qr));

    DeviceCodeData data;
    data.verification_url_complete = QStringLiteral("not a url");
    data.qr_url = qr;
    EXPECT_EQ(QRPayload::url(data), QUrl(qr));

    const QByteArray saved = qgetenv("ORVELLA_API_BASE");
    qputenv("ORVELLA_API_BASE", "http://127.0.0.1:4567");
    const QUrl fallback = QRPayload::url(std::nullopt, QString(), std::nullopt);
    EXPECT_EQ(fallback.scheme(), QStringLiteral("https"));
    EXPECT_EQ(fallback.host(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(fallback.path(), QStringLiteral("/activate"));
    if (saved.isNull())
        qunsetenv("ORVELLA_API_BASE");
    else
        qputenv("ORVELLA_API_BASE", saved);
}

TEST(QRCodeView, ShowsUnavailableWhenNoCodeCanBeMade)
{
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(&engine);
    component.setData("import QtQuick\nimport Orvella\nQRCodeView { size: 180 }",
        QUrl(QStringLiteral("qrc:/test/Probe.qml")));
    std::unique_ptr<QQuickItem> view(qobject_cast<QQuickItem *>(component.create()));
    ASSERT_TRUE(view) << component.errorString().toStdString();
    auto *code = view->findChild<QrCodeItem *>();
    ASSERT_TRUE(code);
    EXPECT_FALSE(code->available());
    view->setProperty("text", QStringLiteral("https://www.orvella.tv/give"));
    EXPECT_TRUE(code->available());
    EXPECT_DOUBLE_EQ(code->width(), 180);
    EXPECT_EQ(QrCodeItem::unavailableText(), QStringLiteral("QR unavailable"));
}

} // namespace
