#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The keys of the Quit command: the desktop's own (QKeySequence::Quit), else Ctrl+Q where the
// platform binds none (the offscreen platform, for one).
class QuitCommand : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString sequence READ sequence CONSTANT)
    Q_PROPERTY(QString shortcutLabel READ shortcutLabel CONSTANT)

public:
    using QObject::QObject;

    [[nodiscard]] static QKeySequence keys()
    {
        const QList<QKeySequence> bound = QKeySequence::keyBindings(QKeySequence::Quit);
        return bound.isEmpty() ? QKeySequence(QStringLiteral("Ctrl+Q")) : bound.constFirst();
    }
    [[nodiscard]] static QString sequence() { return keys().toString(QKeySequence::PortableText); }
    [[nodiscard]] static QString shortcutLabel()
    {
        return keys().toString(QKeySequence::NativeText);
    }
};

} // namespace orvella
