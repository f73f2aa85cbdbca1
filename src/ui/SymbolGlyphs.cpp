#include "ui/SymbolGlyphs.h"

#include <QHash>

namespace orvella {

namespace {

// Code points of MaterialIcons-Regular.ttf (fonts-material-design-icons-iconfont).
const QHash<QString, char16_t> &glyphTable()
{
    static const QHash<QString, char16_t> table {
        { QStringLiteral("accessibility"), 0xe84e }, // accessibility
        { QStringLiteral("app"), 0xe3c6 }, // crop_square
        { QStringLiteral("arrow.up"), 0xe5d8 }, // arrow_upward
        { QStringLiteral("arrow.clockwise"), 0xe5d5 }, // refresh
        { QStringLiteral("arrow.up.circle.fill"), 0xf182 }, // arrow_circle_up
        { QStringLiteral("bell"), 0xe7f5 }, // notifications_none
        { QStringLiteral("bell.fill"), 0xe7f4 }, // notifications
        { QStringLiteral("book.fill"), 0xea19 }, // menu_book
        { QStringLiteral("captions.bubble.fill"), 0xe01c }, // closed_caption
        { QStringLiteral("checkmark"), 0xe5ca }, // check
        { QStringLiteral("checkmark.circle.fill"), 0xe86c }, // check_circle
        { QStringLiteral("checkmark.seal.fill"), 0xef76 }, // verified
        { QStringLiteral("chevron.left"), 0xe5cb }, // chevron_left
        { QStringLiteral("chevron.right"), 0xe5cc }, // chevron_right
        { QStringLiteral("chevron.up.chevron.down"), 0xe5d7 }, // unfold_more
        { QStringLiteral("desktopcomputer"), 0xe30c }, // desktop_windows
        { QStringLiteral("doc.fill"), 0xe873 }, // description
        { QStringLiteral("dot.radiowaves.left.and.right"), 0xe51e }, // sensors
        { QStringLiteral("drop.fill"), 0xe798 }, // water_drop
        { QStringLiteral("envelope.fill"), 0xe0be }, // email
        { QStringLiteral("eye.fill"), 0xe8f4 }, // visibility
        { QStringLiteral("film"), 0xe02c }, // movie
        { QStringLiteral("folder.badge.plus"), 0xe2cc }, // create_new_folder
        { QStringLiteral("folder.fill"), 0xe2c7 }, // folder
        { QStringLiteral("forward.end.fill"), 0xe044 }, // skip_next
        { QStringLiteral("gauge.with.dots.needle.33percent"), 0xe9e4 }, // speed
        { QStringLiteral("gearshape.fill"), 0xe8b8 }, // settings
        { QStringLiteral("globe"), 0xe894 }, // language
        { QStringLiteral("gobackward.10"), 0xe059 }, // replay_10
        { QStringLiteral("goforward.10"), 0xe056 }, // forward_10
        { QStringLiteral("hand.raised"), 0xe925 }, // pan_tool
        { QStringLiteral("heart.fill"), 0xe87d }, // favorite
        { QStringLiteral("house.fill"), 0xe88a }, // home
        { QStringLiteral("lock.shield"), 0xe32a }, // security
        { QStringLiteral("magnifyingglass"), 0xe8b6 }, // search
        { QStringLiteral("megaphone.fill"), 0xef49 }, // campaign
        { QStringLiteral("pause.fill"), 0xe034 }, // pause
        { QStringLiteral("person.2.fill"), 0xe7fb }, // people
        { QStringLiteral("person.3.fill"), 0xf233 }, // groups
        { QStringLiteral("person.crop.circle"), 0xe853 }, // account_circle
        { QStringLiteral("person.fill"), 0xe7fd }, // person
        { QStringLiteral("person.fill.viewfinder"), 0xe416 }, // portrait
        { QStringLiteral("photo"), 0xe410 }, // photo
        { QStringLiteral("play.circle"), 0xe039 }, // play_circle_outline
        { QStringLiteral("play.circle.fill"), 0xe038 }, // play_circle_filled
        { QStringLiteral("play.fill"), 0xe037 }, // play_arrow
        { QStringLiteral("play.rectangle"), 0xe63a }, // ondemand_video
        { QStringLiteral("play.rectangle.fill"), 0xf06a }, // smart_display
        { QStringLiteral("plus.rectangle.on.rectangle"), 0xe02e }, // library_add
        { QStringLiteral("quote.bubble.fill"), 0xe244 }, // format_quote
        { QStringLiteral("record.circle"), 0xe837 }, // radio_button_checked
        { QStringLiteral("rectangle.stack.fill"), 0xe04a }, // video_library
        { QStringLiteral("repeat"), 0xe040 }, // repeat
        { QStringLiteral("repeat.1"), 0xe041 }, // repeat_one
        { QStringLiteral("slider.horizontal.3"), 0xe429 }, // tune
        { QStringLiteral("sparkles"), 0xe65f }, // auto_awesome
        { QStringLiteral("speaker.slash.fill"), 0xe04f }, // volume_off
        { QStringLiteral("speaker.wave.2.fill"), 0xe050 }, // volume_up
        { QStringLiteral("square.and.arrow.down"), 0xf090 }, // download
        { QStringLiteral("square.and.pencil"), 0xe745 }, // edit_note
        { QStringLiteral("square.grid.2x2"), 0xe9b0 }, // grid_view
        { QStringLiteral("stop.fill"), 0xe047 }, // stop
        { QStringLiteral("sun.max.fill"), 0xe430 }, // wb_sunny
        { QStringLiteral("text.alignleft"), 0xe236 }, // format_align_left
        { QStringLiteral("timer"), 0xe425 }, // timer
        { QStringLiteral("video.fill"), 0xe04b }, // videocam
        { QStringLiteral("xmark"), 0xe5cd }, // close
        { QStringLiteral("xmark.circle.fill"), 0xe5c9 }, // cancel
    };
    return table;
}

} // namespace

SymbolGlyphs::SymbolGlyphs(QObject *parent)
    : QObject(parent)
{ }

QString SymbolGlyphs::glyph(const QString &name)
{
    const auto &table = glyphTable();
    const auto it = table.constFind(name);
    return it == table.constEnd() ? QString() : QString(QChar(*it));
}

bool SymbolGlyphs::contains(const QString &name)
{
    return glyphTable().contains(name);
}

QStringList SymbolGlyphs::names()
{
    QStringList keys = glyphTable().keys();
    keys.sort();
    return keys;
}

} // namespace orvella
