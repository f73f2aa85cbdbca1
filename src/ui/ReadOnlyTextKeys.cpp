#include "ui/ReadOnlyTextKeys.h"

#include <QKeyEvent>
#include <algorithm>
#include <array>

namespace orvella {

ReadOnlyTextKeys::ReadOnlyTextKeys(QObject *parent)
    : QObject(parent)
{ }

void ReadOnlyTextKeys::setTarget(QQuickItem *target)
{
    if (m_target == target)
        return;
    if (m_target)
        m_target->removeEventFilter(this);
    m_target = target;
    if (m_target)
        m_target->installEventFilter(this);
    emit targetChanged();
}

bool ReadOnlyTextKeys::usesKey(const QKeyEvent &event)
{
    static constexpr std::array used {
        QKeySequence::Copy,
        QKeySequence::SelectAll,
        QKeySequence::MoveToNextChar,
        QKeySequence::MoveToPreviousChar,
        QKeySequence::MoveToNextWord,
        QKeySequence::MoveToPreviousWord,
        QKeySequence::MoveToNextLine,
        QKeySequence::MoveToPreviousLine,
        QKeySequence::MoveToStartOfLine,
        QKeySequence::MoveToEndOfLine,
        QKeySequence::MoveToStartOfDocument,
        QKeySequence::MoveToEndOfDocument,
        QKeySequence::SelectNextChar,
        QKeySequence::SelectPreviousChar,
        QKeySequence::SelectNextWord,
        QKeySequence::SelectPreviousWord,
        QKeySequence::SelectNextLine,
        QKeySequence::SelectPreviousLine,
        QKeySequence::SelectStartOfLine,
        QKeySequence::SelectEndOfLine,
        QKeySequence::SelectStartOfDocument,
        QKeySequence::SelectEndOfDocument,
    };
    return std::any_of(used.begin(), used.end(),
        [&](QKeySequence::StandardKey key) { return event.matches(key); });
}

bool ReadOnlyTextKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_target || event->type() != QEvent::ShortcutOverride)
        return false;
    if (usesKey(*static_cast<QKeyEvent *>(event)))
        return false;
    // Unclaimed: the window's shortcut for this key, if any, runs.
    event->ignore();
    return true;
}

} // namespace orvella
