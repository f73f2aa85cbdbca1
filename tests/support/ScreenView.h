#pragma once

// A screen's QML page built alone in a window over the app model, as the root view builds it.
// Warnings that name the page's source folder or the shared controls fail the test.
//
//   ScreenView view { u"screens/account"_qs };
//   QQuickItem *page = view.show(app, u"LoginScreen.qml"_qs);
//   view.child(u"loginEnter"_qs)->isEnabled();
//   view.close();   // in TearDown, before the app model goes

#include "app/AppModel.h"
#include "app/Application.h"
#include "support/TestAsync.h"

#include <QKeyEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <gtest/gtest.h>
#include <memory>

namespace orvella::test {

class ScreenView
{
public:
    explicit ScreenView(const QString &folder)
        : m_folder(folder)
    {
        watched() = { folder, QStringLiteral("/ui/") };
    }
    ~ScreenView() { close(); }

    // Shows a page of the folder (in place of one shown before) in a window of `size`, built
    // with `properties` as the root view's loader sets them.
    QQuickItem *show(AppModel &app, const QString &file, QSize size = { 1024, 640 },
        const QVariantMap &properties = {})
    {
        m_screen.reset();
        if (!m_window) {
            collected().clear();
            m_previous = qInstallMessageHandler(collect);
            m_window = std::make_unique<QQuickWindow>();
            m_window->resize(size);
            m_window->setColor(QColor::fromRgbF(0.024f, 0.051f, 0.094f)); // the root view's canvas
        }
        // A new engine for another model: an engine keeps the app model singleton it first met.
        if (!m_engine || m_app != &app) {
            m_app = &app;
            AppModel::setInstance(&app);
            m_engine = std::make_unique<QQmlEngine>();
            prepareEngine(*m_engine);
        }
        QQmlComponent component(m_engine.get(), QUrl(u"qrc:/Orvella/"_qs + m_folder + u'/' + file));
        EXPECT_TRUE(component.isReady()) << component.errorString().toStdString();
        m_screen.reset(
            qobject_cast<QQuickItem *>(component.createWithInitialProperties(properties)));
        if (!m_screen)
            return nullptr;
        m_screen->setParentItem(m_window->contentItem());
        m_screen->setSize(size);
        m_window->show();
        m_window->requestActivate();
        return m_screen.get();
    }

    [[nodiscard]] QQuickItem *screen() const { return m_screen.get(); }
    [[nodiscard]] QQuickWindow *window() const { return m_window.get(); }

    // By the item tree, which also holds what loaders and repeaters made.
    [[nodiscard]] QQuickItem *child(const QString &name) const
    {
        return m_screen ? find(m_screen.get(), name) : nullptr;
    }

    void key(int code, const QString &text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
        QCoreApplication::sendEvent(m_window.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
        QCoreApplication::sendEvent(m_window.get(), &release);
    }
    void type(const QString &text)
    {
        for (const QChar c : text)
            key(0, QString(c));
    }

    // Takes the page down; fails the test for the warnings met while it was shown.
    void close()
    {
        if (!m_window)
            return;
        m_screen.reset();
        spinFor(std::chrono::milliseconds(50));
        m_engine.reset();
        m_window.reset();
        m_app = nullptr;
        qInstallMessageHandler(m_previous);
        AppModel::setInstance(nullptr);
        EXPECT_TRUE(collected().isEmpty()) << collected().join(u'\n').toStdString();
    }

    // The item of that name at or under `item`.
    static QQuickItem *find(QQuickItem *item, const QString &name)
    {
        if (item->objectName() == name)
            return item;
        for (QQuickItem *child : item->childItems()) {
            if (QQuickItem *found = find(child, name))
                return found;
        }
        return nullptr;
    }

private:
    static QStringList &watched()
    {
        static QStringList folders;
        return folders;
    }
    static QStringList &collected()
    {
        static QStringList warnings;
        return warnings;
    }
    static void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtDebugMsg)
            return;
        for (const QString &folder : watched()) {
            if (message.contains(folder)) {
                collected().append(message);
                return;
            }
        }
    }

    QString m_folder;
    AppModel *m_app = nullptr;
    std::unique_ptr<QQuickWindow> m_window;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickItem> m_screen;
    QtMessageHandler m_previous = nullptr;
};

} // namespace orvella::test
