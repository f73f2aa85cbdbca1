// Save to Computer through the desktop's file chooser portal: a stand-in portal on the test's
// session bus is asked SaveFile and answers as the desktop's dialog would.

#include "DeliveryTestSupport.h"
#include "StudioTestRig.h"
#include "platform/SaveFileChooser.h"
#include "studio/RecordingDelivery.h"
#include "support/TestAsync.h"
#include "ui/SavePaths.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using namespace std::chrono_literals;

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// A request object of the stand-in portal: the client may close it.
class FakePortalRequest : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")

public:
    bool closed = false;

public slots:
    void Close() { closed = true; }
};

// The portal's file chooser as the desktop offers it, on a connection of its own.
class FakeFileChooserPortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.FileChooser")

public:
    enum class Behaviour { Answer, Refuse, Ignore, Wait };

    struct Asked
    {
        QString parentWindow;
        QString title;
        QVariantMap options;
        QString handle;
    };

    FakeFileChooserPortal()
        : bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-portal"))
    {
        bus.registerObject(portalPath, this, QDBusConnection::ExportAllSlots);
        bus.registerService(portalService);
    }
    ~FakeFileChooserPortal() override
    {
        bus.unregisterService(portalService);
        bus.unregisterObject(portalPath);
        for (const Asked &question : asked)
            bus.unregisterObject(question.handle);
        QDBusConnection::disconnectFromBus("fake-portal");
    }

    QDBusConnection bus;
    Behaviour behaviour = Behaviour::Answer;
    uint response = 0;
    QVariantMap results;
    QList<Asked> asked;
    std::vector<std::unique_ptr<FakePortalRequest>> requests;

public slots:
    QDBusObjectPath SaveFile(const QString &parentWindow, const QString &title,
        const QVariantMap &options, const QDBusMessage &message)
    {
        QString sender = message.service().mid(1);
        sender.replace('.', '_');
        const QString handle = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                   .arg(sender, options.value("handle_token").toString());
        asked.append({ parentWindow, title, options, handle });
        requests.push_back(std::make_unique<FakePortalRequest>());
        bus.registerObject(handle, requests.back().get(), QDBusConnection::ExportAllSlots);
        switch (behaviour) {
        case Behaviour::Refuse:
            message.setDelayedReply(true);
            bus.send(message.createErrorReply(QDBusError::AccessDenied, "not for you"));
            return {};
        case Behaviour::Ignore:
            message.setDelayedReply(true);
            return {};
        case Behaviour::Wait:
            return QDBusObjectPath(handle);
        case Behaviour::Answer:
            break;
        }
        // The viewer answers once the reply has gone.
        QTimer::singleShot(0, this, [this, handle] {
            QDBusMessage signal
                = QDBusMessage::createSignal(handle, "org.freedesktop.portal.Request", "Response");
            signal << response << results;
            bus.send(signal);
        });
        return QDBusObjectPath(handle);
    }
};

// "name: kind pattern, …" for each filter of an a(sa(us)) option.
QStringList filtersOf(const QVariant &option)
{
    QStringList filters;
    const QDBusArgument argument = option.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        QString name;
        QStringList patterns;
        argument.beginStructure();
        argument >> name;
        argument.beginArray();
        while (!argument.atEnd()) {
            uint kind = 0;
            QString pattern;
            argument.beginStructure();
            argument >> kind >> pattern;
            argument.endStructure();
            patterns << QStringLiteral("%1 %2").arg(kind).arg(pattern);
        }
        argument.endArray();
        argument.endStructure();
        filters << name + ": " + patterns.join(", ");
    }
    argument.endArray();
    return filters;
}

class SaveThroughPortal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus (run under dbus-run-session)";
        if (QDBusConnection::sessionBus().interface()->isServiceRegistered(portalService))
            GTEST_SKIP() << "a real portal owns the name on this bus";
        rig = std::make_unique<StudioRig>(
            cv::Mat(144, 256, CV_32F, cv::Scalar(1.0)), true, false, systemDownloads);
        services = fake.make(scratch.filePath("archive"));
        services.chooser = std::make_shared<PortalSaveFileChooser>(300ms);
        delivery = std::make_unique<RecordingDelivery>(services);
        delivery->setCapture(rig->controller.get());
        ASSERT_TRUE(rig->recordShortMovie());
        recording = rig->controller->outputURL().toLocalFile();
        rig->controller->setStatusMessage("Recording ready to send");
    }

    bool systemDownloads = false;
    std::unique_ptr<StudioRig> rig;
    QTemporaryDir scratch;
    FakeDeliveryServices fake;
    delivery::Services services;
    std::unique_ptr<RecordingDelivery> delivery;
    QString recording;
};

TEST_F(SaveThroughPortal, AsksForTheProposedNameAndFolderAndWritesWhereTheAnswerSays)
{
    FakeFileChooserPortal portal;
    const QString chosen = scratch.filePath("Chosen by the desktop.mov");
    portal.results = { { "uris", QStringList { QUrl::fromLocalFile(chosen).toString() } } };
    delivery->requestSave();
    ASSERT_TRUE(waitUntil(
        [&] { return rig->controller->uploadMessage() == "Saved to Chosen by the desktop.mov"; }));
    EXPECT_TRUE(readAll(chosen) == readAll(recording));
    EXPECT_EQ(rig->controller->statusMessage(), "Saved to computer");
    EXPECT_FALSE(delivery->saveDialog()->isOpened());

    ASSERT_EQ(portal.asked.size(), 1);
    const FakeFileChooserPortal::Asked &asked = portal.asked[0];
    EXPECT_EQ(asked.title, "Save Recording");
    EXPECT_EQ(asked.options.value("current_name").toString(), QFileInfo(recording).fileName());
    EXPECT_EQ(asked.options.value("current_folder").toByteArray(),
        QFile::encodeName(QFileInfo(recording).absolutePath()) + '\0');
    EXPECT_EQ(asked.options.value("accept_label").toString(), "Save");
    EXPECT_TRUE(asked.options.value("modal").toBool());
    EXPECT_EQ(filtersOf(asked.options.value("filters")),
        (QStringList { "QuickTime movie: 0 *.mov", "MPEG-4 movie: 0 *.mp4" }));

    // The next question starts in the folder chosen last.
    portal.response = 1;
    delivery->requestSave();
    ASSERT_TRUE(waitUntil([&] { return portal.asked.size() == 2; }));
    EXPECT_EQ(portal.asked[1].options.value("current_folder").toByteArray(),
        QFile::encodeName(scratch.path()) + '\0');
}

TEST_F(SaveThroughPortal, ACancelledAnswerChangesNothing)
{
    FakeFileChooserPortal portal;
    portal.response = 1;
    delivery->requestSave();
    ASSERT_TRUE(waitUntil([&] { return portal.asked.size() == 1; }));
    spinFor(100ms);
    EXPECT_TRUE(rig->controller->uploadMessage().isEmpty());
    EXPECT_EQ(rig->controller->statusMessage(), "Recording ready to send");
    EXPECT_FALSE(delivery->saveDialog()->isOpened());
    EXPECT_TRUE(QDir(scratch.path()).isEmpty());
    // A second click while the desktop's dialog is up asks nothing more.
    portal.behaviour = FakeFileChooserPortal::Behaviour::Wait;
    delivery->requestSave();
    ASSERT_TRUE(waitUntil([&] { return portal.asked.size() == 2; }));
    delivery->requestSave();
    spinFor(100ms);
    EXPECT_EQ(portal.asked.size(), 2);
    // The screen going closes the desktop's dialog.
    delivery.reset();
    EXPECT_TRUE(waitUntil([&] { return portal.requests.back()->closed; }));
}

TEST_F(SaveThroughPortal, WithoutAWorkingPortalTheClientsOwnDialogOpens)
{
    // None on the bus.
    delivery->requestSave();
    ASSERT_TRUE(waitUntil([&] { return delivery->saveDialog()->isOpened(); }));
    delivery->saveDialog()->cancel();

    // A portal whose dialog failed: the client's own, and the portal is asked again next time.
    {
        FakeFileChooserPortal portal;
        portal.response = 2;
        auto chooser = std::make_shared<PortalSaveFileChooser>(300ms);
        services.chooser = chooser;
        delivery->setServices(services);
        delivery->requestSave();
        ASSERT_TRUE(waitUntil([&] { return delivery->saveDialog()->isOpened(); }));
        delivery->saveDialog()->cancel();
        delivery->requestSave();
        ASSERT_TRUE(waitUntil([&] { return delivery->saveDialog()->isOpened(); }));
        delivery->saveDialog()->cancel();
        EXPECT_EQ(portal.asked.size(), 2);
    }

    // A portal that refuses the call, or does not answer it in time, is not asked again.
    for (const auto behaviour :
        { FakeFileChooserPortal::Behaviour::Refuse, FakeFileChooserPortal::Behaviour::Ignore }) {
        FakeFileChooserPortal portal;
        portal.behaviour = behaviour;
        services.chooser = std::make_shared<PortalSaveFileChooser>(300ms);
        delivery->setServices(services);
        delivery->requestSave();
        ASSERT_TRUE(waitUntil([&] { return delivery->saveDialog()->isOpened(); }));
        delivery->saveDialog()->cancel();
        delivery->requestSave();
        EXPECT_TRUE(waitUntil([&] { return delivery->saveDialog()->isOpened(); }));
        delivery->saveDialog()->cancel();
        EXPECT_EQ(portal.asked.size(), 1);
    }
    EXPECT_TRUE(rig->controller->uploadMessage().isEmpty());
}

// No Downloads folder in a home of the test's own: the copy is kept in the temporary folder.
class SaveThroughPortalWithoutDownloads : public SaveThroughPortal, protected OwnHome
{
protected:
    void SetUp() override
    {
        systemDownloads = true;
        SaveThroughPortal::SetUp();
    }
};

TEST_F(SaveThroughPortalWithoutDownloads, AsksWhereACopyLastsAndSavesNothingOverTheCopy)
{
    ASSERT_EQ(QFileInfo(recording).absolutePath(), rig->temporary.path());
    ASSERT_TRUE(QDir(home.path()).mkdir("Videos"));
    const QByteArray videos = QFile::encodeName(home.filePath("Videos")) + '\0';
    FakeFileChooserPortal portal;
    // The viewer keeps the proposed name and goes to the temporary folder.
    portal.results = { { "uris", QStringList { QUrl::fromLocalFile(recording).toString() } } };
    const QByteArray movie = readAll(recording);
    delivery->requestSave();
    ASSERT_TRUE(waitUntil([&] { return !rig->controller->uploadMessage().isEmpty(); }));
    EXPECT_EQ(rig->controller->uploadMessage(), savepaths::isTheOriginalMessage(recording));
    EXPECT_EQ(rig->controller->statusMessage(), "Recording ready to send");
    EXPECT_TRUE(readAll(recording) == movie);
    ASSERT_EQ(portal.asked.size(), 1);
    EXPECT_EQ(
        portal.asked[0].options.value("current_name").toString(), QFileInfo(recording).fileName());
    EXPECT_EQ(portal.asked[0].options.value("current_folder").toByteArray(), videos);

    // Asked again, it starts there again, not in the temporary folder chosen last.
    portal.response = 1;
    delivery->requestSave();
    ASSERT_TRUE(waitUntil([&] { return portal.asked.size() == 2; }));
    EXPECT_EQ(portal.asked[1].options.value("current_folder").toByteArray(), videos);
}

TEST_F(SaveThroughPortalWithoutDownloads, SavesNothingOverTheWorkingMovieBesideTheCopy)
{
    const QString working = rig->controller->recordingPath();
    ASSERT_EQ(QFileInfo(working).absolutePath(), QFileInfo(recording).absolutePath());
    ASSERT_NE(working, recording);
    const QByteArray movie = readAll(recording);
    const QByteArray workingMovie = readAll(working);
    FakeFileChooserPortal portal;
    portal.results = { { "uris", QStringList { QUrl::fromLocalFile(working).toString() } } };
    delivery->requestSave();
    ASSERT_TRUE(waitUntil([&] { return !rig->controller->uploadMessage().isEmpty(); }));
    EXPECT_EQ(rig->controller->uploadMessage(), savepaths::isTheOriginalMessage(working));
    EXPECT_EQ(rig->controller->statusMessage(), "Recording ready to send");
    EXPECT_FALSE(delivery->saveDialog()->isOpened());
    EXPECT_TRUE(readAll(recording) == movie);
    EXPECT_TRUE(readAll(working) == workingMovie);
}

} // namespace

#include "save_portal_test.moc"
