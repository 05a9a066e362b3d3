// The media-player interface as a desktop's client sees it, over a session bus of the test's own.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QProcess>
#include <memory>

#include "mpris/mpris_service.h"
#include "remote/mpris_state.h"
#include "support/files.h"
#include "support/qstring_printer.h"

namespace corvane::mpris {
namespace {

using remote::MprisState;
using remote::PilotAction;

// Collects the PropertiesChanged signals a client receives.
class ChangeListener : public QObject {
    Q_OBJECT

public:
    QList<QVariantMap> changes;

public Q_SLOTS:
    void Changed(const QString& interface, const QVariantMap& changed, const QStringList&) {
        if (interface == QLatin1String(MprisService::kPlayerInterface)) changes.append(changed);
    }
};

class MprisBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = StartApplication();
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--nopidfile"), QStringLiteral("--print-address")});
        if (!daemon_.waitForStarted(5000)) GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(WaitFor([this] { return daemon_.canReadLine(); }));
        const QString address = QString::fromUtf8(daemon_.readLine().trimmed());
        service_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(address, QStringLiteral("mpris-service")));
        client_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(address, QStringLiteral("mpris-client")));
        ASSERT_TRUE(service_->isConnected() && client_->isConnected());

        MprisHooks hooks;
        hooks.act = [this](PilotAction action) { actions_.append(action); };
        hooks.raise = [this] { others_.append(QStringLiteral("raise")); };
        hooks.quit = [this] { others_.append(QStringLiteral("quit")); };
        hooks.open = [this](const QString& path) { others_.append(path); };
        mpris_ = std::make_unique<MprisService>(*service_, std::move(hooks));
        ASSERT_TRUE(mpris_->Register());
        client_->connect(
            QLatin1String(MprisService::kServiceName), QLatin1String(MprisService::kObjectPath),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
            &listener_, SLOT(Changed(QString, QVariantMap, QStringList)));
    }

    void TearDown() override {
        mpris_.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("mpris-service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("mpris-client"));
        service_.reset();
        client_.reset();
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }

    QDBusPendingCall Send(const QString& interface, const QString& method,
                          const QVariantList& arguments = {}, int timeoutMs = 5000) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QLatin1String(MprisService::kServiceName), QLatin1String(MprisService::kObjectPath),
            interface, method);
        message.setArguments(arguments);
        return client_->asyncCall(message, timeoutMs);
    }
    // A blocking call from the client; the service answers from this thread's event loop.
    QDBusMessage Call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusPendingCall pending = Send(interface, method, arguments);
        WaitFor([&] { return pending.isFinished(); });
        return pending.reply();
    }
    QDBusMessage Player(const QString& method, const QVariantList& arguments = {}) {
        return Call(QLatin1String(MprisService::kPlayerInterface), method, arguments);
    }
    QVariant Get(const QString& interface, const QString& name) {
        const QDBusMessage reply = Call(QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {interface, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QVariant PlayerProperty(const QString& name) {
        return Get(QLatin1String(MprisService::kPlayerInterface), name);
    }

    std::unique_ptr<QCoreApplication> app_;
    QProcess daemon_;
    std::unique_ptr<QDBusConnection> service_;
    std::unique_ptr<QDBusConnection> client_;
    std::unique_ptr<MprisService> mpris_;
    ChangeListener listener_;
    QList<PilotAction> actions_;
    QStringList others_;  // raise, quit and the files opened, in order
};

MprisState Playing() {
    return {.on = true,
            .sounding = true,
            .hasSongs = true,
            .title = QStringLiteral("Song One"),
            .path = QStringLiteral("/music/Song One.mp3"),
            .lengthUs = 3'000'000,
            .track = 7};
}

TEST_F(MprisBusTest, ButtonsReachTheAutoPilotAsItsOwnButtonsWould) {
    MprisState idle;
    idle.hasSongs = true;
    mpris_->SetState(idle);
    for (const char* method : {"Pause", "Play", "Next", "Stop"})
        EXPECT_EQ(Player(QLatin1String(method)).type(), QDBusMessage::ReplyMessage) << method;
    EXPECT_EQ(actions_, (QList<PilotAction>{PilotAction::Start, PilotAction::Next}));

    actions_.clear();
    mpris_->SetState(Playing());
    for (const char* method : {"Play", "PlayPause", "Pause"}) Player(QLatin1String(method));
    EXPECT_EQ(actions_, (QList<PilotAction>{PilotAction::Stop, PilotAction::Stop}));

    const QString root = QStringLiteral("org.mpris.MediaPlayer2");
    Call(root, QStringLiteral("Raise"));
    Player(QStringLiteral("OpenUri"), {QStringLiteral("file:///music/a%20b.mp3")});
    Player(QStringLiteral("OpenUri"), {QStringLiteral("http://example.org/a.mp3")});
    Call(root, QStringLiteral("Quit"));
    EXPECT_TRUE(WaitFor([this] { return others_.size() == 3; }));
    EXPECT_EQ(others_, (QStringList{QStringLiteral("raise"), QStringLiteral("/music/a b.mp3"),
                                    QStringLiteral("quit")}));
    EXPECT_EQ(Get(root, QStringLiteral("Identity")).toString(), QStringLiteral("Corvane"));
}

TEST_F(MprisBusTest, PropertiesFollowTheStateAndEachChangeIsSignalled) {
    EXPECT_EQ(PlayerProperty(QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Stopped"));
    EXPECT_FALSE(PlayerProperty(QStringLiteral("CanPlay")).toBool());

    mpris_->SetState(Playing());
    ASSERT_TRUE(WaitFor([this] { return !listener_.changes.isEmpty(); }));
    const QVariantMap changed = listener_.changes.takeFirst();
    EXPECT_EQ(changed.value(QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Playing"));
    EXPECT_TRUE(changed.value(QStringLiteral("CanPause")).toBool());
    EXPECT_TRUE(changed.contains(QStringLiteral("Metadata")));

    QVariantMap metadata;
    PlayerProperty(QStringLiteral("Metadata")).value<QDBusArgument>() >> metadata;
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Song One"));
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:url")).toString(),
              QStringLiteral("file:///music/Song%20One.mp3"));
    EXPECT_EQ(metadata.value(QStringLiteral("mpris:length")).toLongLong(), 3'000'000);
    EXPECT_EQ(metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
              QStringLiteral("/org/corvane/track/7"));

    // The same state again sends nothing; a stop sends only what changed.
    mpris_->SetState(Playing());
    MprisState stopping = Playing();
    stopping.on = false;
    mpris_->SetState(stopping);
    ASSERT_TRUE(WaitFor([this] { return !listener_.changes.isEmpty(); }));
    EXPECT_EQ(listener_.changes.takeFirst().keys(), QStringList{QStringLiteral("CanPause")});
}

// Wrong argument types, an unknown track, a position past the end and a flood of calls are
// answered or ignored; the service keeps answering.
TEST_F(MprisBusTest, BadCallsAndFloodsAreAnsweredWithoutHarm) {
    mpris_->SetState(Playing());
    EXPECT_EQ(Player(QStringLiteral("Seek"), {QStringLiteral("far")}).type(),
              QDBusMessage::ErrorMessage);
    EXPECT_EQ(Player(QStringLiteral("OpenUri"), {42}).type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(Player(QStringLiteral("SetPosition"),
                     {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/no/such/track"))),
                      qlonglong(1) << 60})
                  .type(),
              QDBusMessage::ReplyMessage);
    EXPECT_TRUE(actions_.isEmpty());

    QList<QDBusPendingCall> flood;
    for (int i = 0; i < 1000; ++i)
        flood.append(Send(QLatin1String(MprisService::kPlayerInterface),
                          i % 2 ? QStringLiteral("Next") : QStringLiteral("Pause"), {}, 20000));
    EXPECT_TRUE(WaitFor(
        [&] {
            return std::all_of(flood.begin(), flood.end(),
                               [](const QDBusPendingCall& call) { return call.isFinished(); });
        },
        20000));
    EXPECT_EQ(actions_.size(), 1000);
    EXPECT_EQ(PlayerProperty(QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Playing"));
}

}  // namespace
}  // namespace corvane::mpris

#include "mpris_bus_test.moc"
