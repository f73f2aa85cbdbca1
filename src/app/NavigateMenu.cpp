#include "app/NavigateMenu.h"

#include <QKeySequence>
#include <QSet>
#include <QVariantMap>

namespace orvella {

NavigateMenu::NavigateMenu(QObject *parent)
    : QObject(parent)
{ }

QList<NavigateMenu::Item> NavigateMenu::items()
{
    QList<Item> list;
    QSet<QString> registered;
    for (const MacRoute::Value route : MacRoute::sidebarRoutes()) {
        const QString key = MacRoute::shortcutKey(route).toUpper();
        const QString shortcut = route == MacRoute::Settings ? QStringLiteral("Ctrl+") + key
                                                             : QStringLiteral("Ctrl+Shift+") + key;
        // A key that belongs to an earlier item is neither registered nor shown again.
        if (registered.contains(shortcut)) {
            list.append(Item { route, MacRoute::title(route), {}, {}, false });
            continue;
        }
        registered.insert(shortcut);
        list.append(Item { route, MacRoute::title(route), shortcut,
            QKeySequence(shortcut).toString(QKeySequence::NativeText), true });
    }
    return list;
}

namespace {
QVariantList toVariants(const QList<NavigateMenu::Item> &items, bool ownersOnly)
{
    QVariantList list;
    for (const NavigateMenu::Item &item : items) {
        if (ownersOnly && !item.ownsShortcut)
            continue;
        list.append(QVariantMap {
            { QStringLiteral("route"), int(item.route) },
            { QStringLiteral("title"), item.title },
            { QStringLiteral("shortcut"), item.shortcut },
            { QStringLiteral("shortcutLabel"), item.shortcutLabel },
            { QStringLiteral("ownsShortcut"), item.ownsShortcut },
        });
    }
    return list;
}
} // namespace

QVariantList NavigateMenu::itemList()
{
    return toVariants(items(), false);
}

QVariantList NavigateMenu::shortcutList()
{
    return toVariants(items(), true);
}

} // namespace orvella
