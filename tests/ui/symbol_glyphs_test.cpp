#include "core/MacRoute.h"
#include "ui/SymbolGlyphs.h"

#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

using orvella::SymbolGlyphs;

// Every string literal on a line that binds a symbol-like property (`symbol:`, `icon:`,
// `systemImage:`, …) in any QML file of the sources.
QSet<QString> symbolNamesInQml()
{
    static const QRegularExpression binding(
        QStringLiteral(R"(\b(symbol|icon|iconName|systemImage|symbolName)\s*:\s*(.*)$)"));
    static const QRegularExpression literal(QStringLiteral(R"re("([^"\\]*)")re"));
    QSet<QString> names;
    QDirIterator it(QStringLiteral(ORVELLA_SOURCE_DIR), { QStringLiteral("*.qml") }, QDir::Files,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        for (const QString &line : lines) {
            const auto match = binding.match(line);
            if (!match.hasMatch())
                continue;
            auto literals = literal.globalMatch(match.captured(2));
            while (literals.hasNext()) {
                const QString name = literals.next().captured(1);
                if (!name.isEmpty())
                    names.insert(name);
            }
        }
    }
    return names;
}

TEST(SymbolGlyphs, EverySymbolNameUsedInQmlHasAGlyph)
{
    const QSet<QString> names = symbolNamesInQml();
    for (const QString &name : names)
        EXPECT_TRUE(SymbolGlyphs::contains(name)) << name.toStdString();
    for (const orvella::MacRoute::Record &route : orvella::MacRoute::records())
        EXPECT_TRUE(SymbolGlyphs::contains(QString::fromUtf16(route.systemImage)))
            << QString::fromUtf16(route.raw).toStdString();
    EXPECT_TRUE(SymbolGlyphs::glyph(QStringLiteral("no.such.symbol")).isEmpty());
}

TEST(SymbolGlyphs, EveryGlyphExistsInTheInstalledIconFont)
{
    const QString path = QStringLiteral(
        "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf");
    ASSERT_TRUE(QFile::exists(path)) << "tools/setup installs the icon font";
    const QRawFont font(path, 24);
    ASSERT_TRUE(font.isValid());
    for (const QString &name : SymbolGlyphs::names()) {
        const QString glyph = SymbolGlyphs::glyph(name);
        ASSERT_EQ(glyph.size(), 1);
        EXPECT_TRUE(font.supportsCharacter(glyph.at(0))) << name.toStdString();
    }
}

} // namespace
