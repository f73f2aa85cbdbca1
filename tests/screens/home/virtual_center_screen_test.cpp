#include "app/AppModel.h"
#include "screens/home/EmissionCount.h"
#include "screens/home/VirtualCenterScreenModel.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

using Mode = VirtualCenterScreenModel::Mode;

QList<int> ids(const VirtualCenterList &list)
{
    QList<int> found;
    for (const VirtualCenter &center : list.rows())
        found.append(center.id);
    return found;
}

TEST(VirtualCenterText, ParticipantCountsKeepNumbersOnly)
{
    EXPECT_EQ(numericText(u"12a3"_qs), u"123"_qs);
    EXPECT_EQ(numericText(u"½ ٣ Ⅻ"_qs), u"½٣Ⅻ"_qs);
    // A grapheme counts by its first code point, marks included.
    EXPECT_EQ(numericText(u"1\u20E3a\u0301-👍"_qs), u"1\u20E3"_qs);
    EXPECT_EQ(numericText(QString()), QString());
}

TEST(VirtualCenterScreenModelTest, SearchesNameLocationAndZoneKeepingTheCards)
{
    VirtualCenterScreenModel screen;
    VirtualCenterList &list = *screen.centers();
    EXPECT_EQ(ids(list), (QList<int> { 1, 2, 3, 4, 5, 6 }));
    const auto resets = countEmissions(&list, &QAbstractItemModel::modelReset);

    screen.setQuery(u"AFRICA"_qs);
    EXPECT_EQ(ids(list), (QList<int> { 1, 2 }));
    screen.setQuery(u"africa"_qs);
    EXPECT_EQ(ids(list), (QList<int> { 1, 2 }));
    screen.setQuery(u"toronto"_qs);
    EXPECT_EQ(ids(list), (QList<int> { 4 }));
    screen.setQuery(u"grace"_qs);
    EXPECT_EQ(ids(list), (QList<int> { 3 }));
    // Hosts are not searched; a blank is a query.
    screen.setQuery(u"Kwame"_qs);
    EXPECT_TRUE(ids(list).isEmpty());
    screen.setQuery(u" "_qs);
    EXPECT_EQ(ids(list), (QList<int> { 1, 2, 3, 4, 5, 6 }));
    screen.setQuery(u"north america"_qs);
    EXPECT_EQ(ids(list), (QList<int> { 4, 5 }));

    // The query outlives the forms.
    screen.host();
    screen.cancel();
    EXPECT_EQ(screen.query(), u"north america"_qs);
    EXPECT_EQ(ids(list), (QList<int> { 4, 5 }));
    screen.setQuery(QString());
    EXPECT_EQ(ids(list), (QList<int> { 1, 2, 3, 4, 5, 6 }));
    EXPECT_EQ(*resets, 0);
    EXPECT_EQ(list.index(1).data(VirtualCenterList::DetailRole),
        u"64 participating · Accra, Ghana · Hosted by Kwame Mensah"_qs);
}

TEST(VirtualCenterScreenModelTest, JoinAndHostForms)
{
    VirtualCenterScreenModel screen;
    const auto counts = countEmissions(&screen, &VirtualCenterScreenModel::participantCountChanged);
    screen.join(2);
    EXPECT_EQ(screen.mode(), Mode::Join);
    EXPECT_EQ(screen.joinTitle(), u"Join Accra Light House"_qs);
    screen.setParticipantCount(u"12"_qs);
    *counts = 0;
    // What the filter drops is announced, so the field shows the kept text.
    screen.setParticipantCount(u"12a"_qs);
    EXPECT_EQ(screen.participantCount(), u"12"_qs);
    EXPECT_EQ(*counts, 1);

    screen.cancel();
    EXPECT_EQ(screen.participantCount(), u"12"_qs);
    screen.host();
    EXPECT_EQ(screen.mode(), Mode::Host);
    EXPECT_EQ(screen.participantCount(), u"10"_qs);
    EXPECT_FALSE(screen.canSubmitHost());
    screen.setCenterName(u"Home group"_qs);
    EXPECT_FALSE(screen.canSubmitHost());
    screen.setCenterAddress(u" "_qs);
    EXPECT_TRUE(screen.canSubmitHost());
    screen.setParticipantCount(QString());
    EXPECT_TRUE(screen.canSubmitHost());

    screen.cancel();
    screen.host();
    EXPECT_EQ(screen.centerName(), u"Home group"_qs);
    EXPECT_EQ(screen.centerAddress(), u" "_qs);

    screen.cancel();
    screen.join(99);
    EXPECT_EQ(screen.mode(), Mode::Join);
    EXPECT_FALSE(screen.hasJoinCenter());
    EXPECT_EQ(screen.joinTitle(), QString());
}

} // namespace
} // namespace orvella::test
