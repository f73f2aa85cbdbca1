#pragma once

#include "core/MacRoute.h"

#include <QList>
#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The route table for QML: titles, symbols and shortcut keys of MacRoute cases, and the two
// ordered lists the menus are built from. Stateless; one instance per engine.
class RouteTable : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QList<int> allRoutes READ allRoutes CONSTANT)
    Q_PROPERTY(QList<int> sidebarRoutes READ sidebarRoutes CONSTANT)

public:
    explicit RouteTable(QObject *parent = nullptr);

    [[nodiscard]] static QList<int> allRoutes();
    [[nodiscard]] static QList<int> sidebarRoutes();

    Q_INVOKABLE static QString title(int route);
    Q_INVOKABLE static QString systemImage(int route);
    Q_INVOKABLE static QString shortcutKey(int route);
    Q_INVOKABLE static QString rawValue(int route);
    // -1 when the text names no route.
    Q_INVOKABLE static int fromRawValue(const QString &raw);
};

} // namespace orvella
