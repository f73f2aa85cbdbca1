#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

class QKeyEvent;

namespace orvella {

// Keeps the window's shortcuts working while a read-only text item has the keyboard. Qt Quick's
// TextEdit claims every key of a shortcut once it has focus, also when it is read-only, so one
// click on an address would stop every navigation key. The target keeps the keys it uses
// (copying, selecting, moving the caret); every other shortcut goes to the window.
//
//   TextEdit { id: text; readOnly: true; ReadOnlyTextKeys { target: text } }
class ReadOnlyTextKeys : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QQuickItem *target READ target WRITE setTarget NOTIFY targetChanged)

public:
    explicit ReadOnlyTextKeys(QObject *parent = nullptr);

    [[nodiscard]] QQuickItem *target() const { return m_target; }
    void setTarget(QQuickItem *target);

    // Whether a read-only selectable text uses this key itself.
    [[nodiscard]] static bool usesKey(const QKeyEvent &event);

signals:
    void targetChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QQuickItem> m_target;
};

} // namespace orvella
