#include "ui/GraphemeText.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

TEST(GraphemeText, CutsAfterTheGivenNumberOfUserPerceivedCharacters)
{
    const QString thumbs = QString::fromUtf8("\U0001F44D\U0001F3FD"); // with a skin tone
    const QString accented = QString::fromUtf8("e\u0301");
    const struct
    {
        QString text;
        qint64 limit;
        QString kept;
    } cases[] = {
        { "", 3, "" },
        { "abc", 3, "abc" },
        { "abcd", 3, "abc" },
        { "abcd", 0, "" },
        { thumbs + thumbs + "x", 2, thumbs + thumbs },
        { accented + accented, 1, accented },
        { "a\r\nb", 2, "a\r\n" },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(cutToGraphemes(c.text, c.limit), c.kept) << c.text.toStdString() << c.limit;
        EXPECT_EQ(graphemeEnd(c.text, c.limit), c.kept == c.text ? -1 : c.kept.size());
    }
    EXPECT_EQ(graphemeCount(thumbs + accented + "a\r\n"), 4);
}

TEST(GraphemeText, CharactersLongerThanTheWindowItLooksAtAreKeptWhole)
{
    // Each character a letter with 200 combining marks: far longer than two code units each.
    const QString heavy = u'a' + QString(200, QChar(0x0301));
    const QString text = heavy.repeated(5);
    EXPECT_EQ(graphemeCount(text), 5);
    EXPECT_EQ(cutToGraphemes(text, 3), heavy.repeated(3));
    EXPECT_EQ(graphemeEnd(text, 5), -1);
    // A window edge in the middle of a flag's two halves is not taken for a boundary.
    const QString flag = QString::fromUtf8("\U0001F1EB\U0001F1F7");
    EXPECT_EQ(cutToGraphemes(QStringLiteral("ab") + flag + flag, 3), QStringLiteral("ab") + flag);
}

TEST(GraphemeText, AFiveMillionCharacterTextIsCutAtTheBound)
{
    const QString huge = QString(5'000'000, u'x');
    EXPECT_EQ(graphemeEnd(huge, 50'000), 50'000);
}

} // namespace
} // namespace orvella
