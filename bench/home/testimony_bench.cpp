// The written-testimony screen with a story at its bound against the same screen with a short
// story, in one run: the time from a key (or Save, or opening the screen) to the next frame
// drawn. Measured: pasting 5 MB of prose (cut at the bound) against pasting 1 kB, typing a
// letter into a story ten characters short of the bound, and into a full one (the letter is
// kept out), against a 100-character story, saving each, and opening the screen over a stored 5 MB
// draft (restored cut) against a 100-character one. Medians of several runs, with the ratio to the
// short case.
//
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bench/home/testimony_bench [--runs N]
#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "platform/FakeMediaPlayer.h"
#include "player/PlayerController.h"
#include "screens/home/TestimonyScreenModel.h"
#include "support/TestAsync.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

using namespace orvella;
using namespace std::chrono_literals;

namespace {

// Prose `units` code units long, in paragraphs of eight sentences or (the worst case for the
// editor's layout) in one paragraph.
QString prose(qsizetype units, bool paragraphs = true)
{
    const QString sentence
        = QStringLiteral("I came to the healing service with pain no doctor could explain. ");
    QString paragraph = sentence.repeated(8);
    if (paragraphs)
        paragraph.append(u'\n');
    QString text = paragraph.repeated(units / paragraph.size() + 1);
    text.truncate(units);
    return text;
}

// The screen in a window, over an app model that needs no service.
class Bench
{
public:
    Bench()
    {
        m_app = AppBuilder()
                    .withoutBootstrap()
                    .livePlayer(
                        std::make_unique<PlayerController>(std::make_unique<FakeMediaPlayer>()))
                    .build();
        AppModel::setInstance(m_app.get());
        m_window.resize(1280, 800);
        m_window.show();
        prepareEngine(m_engine);
        QObject::connect(&m_window, &QQuickWindow::frameSwapped, [this] { m_swapped = true; });
        test::spinFor(300ms);
    }
    ~Bench()
    {
        m_screen.reset();
        test::spinFor(50ms);
        AppModel::setInstance(nullptr);
    }

    // Milliseconds from building the screen to its first frame.
    double open()
    {
        m_screen.reset();
        test::spinFor(50ms);
        QElapsedTimer clock;
        clock.start();
        QQmlComponent component(
            &m_engine, QUrl(QStringLiteral("qrc:/Orvella/screens/home/TestimonyScreen.qml")));
        m_screen.reset(qobject_cast<QQuickItem *>(component.create()));
        if (!m_screen)
            qFatal("%s", qPrintable(component.errorString()));
        m_screen->setParentItem(m_window.contentItem());
        m_screen->setSize(m_window.size());
        nextFrame();
        return double(clock.nsecsElapsed()) / 1e6;
    }

    TestimonyScreenModel &model() const
    {
        return *m_screen->findChild<TestimonyScreenModel *>(QStringLiteral("testimonyScreenModel"));
    }
    QQuickItem *editor() const
    {
        return m_screen->findChild<QQuickItem *>(QStringLiteral("storyEditor"));
    }

    // Milliseconds from `action` to the frame that shows its outcome.
    double timed(const std::function<void()> &action)
    {
        nextFrame();
        QElapsedTimer clock;
        clock.start();
        action();
        nextFrame();
        return double(clock.nsecsElapsed()) / 1e6;
    }

    void key(int code, const QString &text = {}, Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
        QCoreApplication::sendEvent(&m_window, &press);
        QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
        QCoreApplication::sendEvent(&m_window, &release);
    }

    // The story as typed so far, with the caret at its end and the keyboard in the editor.
    void prepare(const QString &story)
    {
        model().setStory(story);
        editor()->forceActiveFocus();
        editor()->setProperty("cursorPosition", int(story.size()));
        nextFrame();
    }

private:
    void nextFrame()
    {
        m_swapped = false;
        m_window.update();
        test::waitUntil([this] { return m_swapped; }, 30s);
    }

    std::unique_ptr<AppModel> m_app;
    QQuickWindow m_window;
    QQmlEngine m_engine;
    std::unique_ptr<QQuickItem> m_screen;
    bool m_swapped = false;
};

double median(std::vector<double> values)
{
    std::ranges::sort(values);
    return values[values.size() / 2];
}

struct Pair
{
    const char *what;
    std::vector<double> bounded, shortCase;
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QSG_RENDER_LOOP", "basic");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    configureApplicationBeforeConstruction();
    QGuiApplication application(argc, argv);
    configureApplication(application);
    const QStringList args = application.arguments();
    const int runs = args.size() == 3 && args[1] == u"--runs" ? std::max(1, args[2].toInt()) : 5;

    const qint64 limit = TestimonyScreenModel::storyLimit;
    Bench bench;
    std::printf("testimony story bound %lld characters, %d runs, medians (ms, frame included)\n",
        limit, runs);
    for (const bool paragraphs : { true, false }) {
        const QString huge = prose(5 * 1024 * 1024, paragraphs);
        const QString nearBound = prose(limit - 10, paragraphs);
        const QString shortStory = prose(100, paragraphs);
        Pair paste { "paste (5 MB / 1 kB)", {}, {} };
        Pair type { "type a letter (bound-10 / 100)", {}, {} };
        Pair refused { "type at the bound (kept out)", {}, {} };
        Pair save { "Save Draft (bound / 100)", {}, {} };
        Pair restore { "open over draft (5 MB / 100)", {}, {} };

        for (int run = 0; run < runs; ++run) {
            for (const bool bounded : { true, false }) {
                bench.open();
                bench.prepare(QString());
                QGuiApplication::clipboard()->setText(bounded ? huge : prose(1024, paragraphs));
                (bounded ? paste.bounded : paste.shortCase).push_back(bench.timed([&] {
                    bench.key(Qt::Key_V, {}, Qt::ControlModifier);
                }));
                if (bench.model().storyCharacters() != (bounded ? limit : 1024))
                    qFatal("the paste kept %lld characters", bench.model().storyCharacters());

                bench.prepare(bounded ? nearBound : shortStory);
                (bounded ? type.bounded : type.shortCase).push_back(bench.timed([&] {
                    bench.key(Qt::Key_A, QStringLiteral("a"));
                }));
                (bounded ? save.bounded : save.shortCase).push_back(bench.timed([&] {
                    bench.model().saveDraft();
                }));
                bench.prepare(bounded ? prose(limit, paragraphs) : shortStory);
                (bounded ? refused.bounded : refused.shortCase).push_back(bench.timed([&] {
                    bench.key(Qt::Key_A, QStringLiteral("a"));
                }));

                QSettings settings;
                settings.setValue("testimony.draft.story", bounded ? huge : shortStory);
                settings.sync();
                (bounded ? restore.bounded : restore.shortCase).push_back(bench.open());
            }
        }

        std::printf("%s\n", paragraphs ? "prose in paragraphs" : "prose in one paragraph");
        for (const Pair *pair : { &paste, &type, &refused, &save, &restore }) {
            const double ours = median(pair->bounded);
            const double base = median(pair->shortCase);
            std::printf("  %-32s %8.1f %8.1f   ratio %.2f\n", pair->what, ours, base, ours / base);
        }
    }
    return 0;
}
