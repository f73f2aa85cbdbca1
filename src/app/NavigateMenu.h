#pragma once

#include "core/MacRoute.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The window's "Navigate" menu: one item per sidebar route, labelled with the route's title and
// showing its shortcut (Ctrl+comma for settings, Ctrl+Shift+key for the others). Where several
// items share a key, only the first in menu order has the shortcut; the later ones neither
// register nor show it, so one key press always does what the menu says.
class NavigateMenu : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QVariantList items READ itemList CONSTANT)
    // The items that own their key sequence.
    Q_PROPERTY(QVariantList shortcuts READ shortcutList CONSTANT)

public:
    struct Item
    {
        MacRoute::Value route;
        QString title;
        QString shortcut; // portable key sequence text, e.g. "Ctrl+Shift+L"; empty for none
        QString shortcutLabel; // as shown in the menu
        bool ownsShortcut; // registers and shows the key sequence
    };

    explicit NavigateMenu(QObject *parent = nullptr);

    [[nodiscard]] static QString title() { return QStringLiteral("Navigate"); }
    [[nodiscard]] static QList<Item> items();
    [[nodiscard]] static QVariantList itemList();
    [[nodiscard]] static QVariantList shortcutList();
};

} // namespace orvella
