#pragma once

#include <QCoroTask>
#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <stop_token>

class QWindow;

namespace orvella {

// A kind of file the viewer may save as: its name and its patterns ("*.mov").
struct SaveFileType
{
    QString name;
    QStringList patterns;
};

// What a save dialog is asked to propose.
struct SaveFileQuestion
{
    QString title;
    QString acceptLabel;
    QString proposedName;
    QString folder;
    // The first one is proposed.
    QList<SaveFileType> types;
    // The window the dialog belongs to, as the desktop names it (desktopWindowHandle); may be
    // empty.
    QString parentWindow;
};

struct SaveFileAnswer
{
    enum class Outcome {
        Chosen,
        Cancelled,
        // No desktop dialog could be shown: the caller shows its own.
        Unavailable,
        // The viewer chose a place that is not a file on this computer.
        NotLocal,
    };
    Outcome outcome = Outcome::Unavailable;
    QString path; // the chosen file's path when chosen
};

// The desktop's own save dialog.
class SaveFileChooser
{
public:
    virtual ~SaveFileChooser() = default;
    // Resolves once the viewer has chosen or cancelled; a stop closes the dialog and resolves
    // as cancelled.
    [[nodiscard]] virtual QCoro::Task<SaveFileAnswer> chooseSaveFile(
        SaveFileQuestion question, std::stop_token stop)
        = 0;
};

// The save dialog of the desktop's file chooser portal (org.freedesktop.portal.FileChooser on
// the session bus). A desktop without the portal, or whose portal does not take the call within
// callTimeout, answers Unavailable, and every later question is answered so at once.
class PortalSaveFileChooser final : public SaveFileChooser
{
public:
    explicit PortalSaveFileChooser(
        std::chrono::milliseconds callTimeout = std::chrono::milliseconds(5000));
    ~PortalSaveFileChooser() override;

    [[nodiscard]] QCoro::Task<SaveFileAnswer> chooseSaveFile(
        SaveFileQuestion question, std::stop_token stop) override;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

// How the portal names a window of this program ("x11:<id>" on X11); empty where it cannot.
[[nodiscard]] QString desktopWindowHandle(const QWindow *window);

} // namespace orvella
