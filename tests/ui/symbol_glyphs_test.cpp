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
}

TEST(SymbolGlyphs, CoversTheSymbolsOfEveryScreen)
{
    // The symbols the screens are specified with, route symbols included.
    const QStringList used { "accessibility", "app", "arrow.clockwise", "arrow.up.circle.fill",
        "bell", "bell.fill", "book.fill", "captions.bubble.fill", "checkmark.circle.fill",
        "checkmark.seal.fill", "chevron.left", "dot.radiowaves.left.and.right", "drop.fill",
        "envelope.fill", "eye.fill", "film", "forward.end.fill", "gauge.with.dots.needle.33percent",
        "gearshape.fill", "globe", "gobackward.10", "goforward.10", "hand.raised", "heart.fill",
        "house.fill", "lock.shield", "magnifyingglass", "megaphone.fill", "pause.fill",
        "person.2.fill", "person.3.fill", "person.crop.circle", "person.fill",
        "person.fill.viewfinder", "photo", "play.circle", "play.circle.fill", "play.fill",
        "play.rectangle", "play.rectangle.fill", "plus.rectangle.on.rectangle", "quote.bubble.fill",
        "record.circle", "rectangle.stack.fill", "repeat", "repeat.1", "slider.horizontal.3",
        "sparkles", "speaker.slash.fill", "speaker.wave.2.fill", "square.and.arrow.down",
        "square.and.pencil", "square.grid.2x2", "stop.fill", "sun.max.fill", "text.alignleft",
        "timer", "video.fill", "xmark", "xmark.circle.fill" };
    for (const QString &name : used)
        EXPECT_TRUE(SymbolGlyphs::contains(name)) << name.toStdString();
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
