#include "broadcast/broadcast_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QSignalSpy>
#include <memory>

#include "broadcast/broadcaster.h"
#include "broadcast/shout_connection.h"
#include "broadcast_fakes.h"
#include "support/files.h"
#include "support/temp_settings.h"

namespace corvane::broadcast {
namespace {

int ModeOf(const QString& file) {
    struct stat info {};
    return stat(QFile::encodeName(file).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

TEST(BroadcastSettings, AnOlderFileGivesTheDefaultsAndBadValuesFallBackToThem) {
    TempSettings temp;
    temp.settings_.SavePref(keys::kLogging, true);
    const BroadcastSettings fresh = LoadBroadcastSettings(temp.settings_);
    EXPECT_EQ(fresh.server, QStringLiteral("localhost"));
    EXPECT_EQ(fresh.mount, QStringLiteral("/corvane"));

    temp.settings_.SavePref(keys::kBroadcastPort, 70000);
    temp.settings_.SavePref(keys::kBroadcastBitrate, 100);
    temp.settings_.SavePref(keys::kBroadcastMount, QStringLiteral("live"));
    temp.settings_.SavePref(keys::kBroadcastFormat, QStringLiteral("ogg vorbis"));
    const BroadcastSettings loaded = LoadBroadcastSettings(temp.settings_);
    EXPECT_EQ(loaded.port, 8000);
    EXPECT_EQ(loaded.bitrate, 192);
    EXPECT_EQ(loaded.mount, QStringLiteral("/live"));
    EXPECT_EQ(loaded.format, StreamFormat::OggVorbis);
}

TEST(BroadcastSettings, ThePasswordIsStoredOnlyInAFileReadableByItsOwnerAlone) {
    TempSettings temp;
    const QString file = temp.settings_.File();
    temp.settings_.SavePref(keys::kLogging, true);
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QString error;
    ASSERT_TRUE(SaveBroadcastPassword(temp.settings_, QStringLiteral("Sesame-3121"), &error))
        << qPrintable(error);
    EXPECT_EQ(ModeOf(file), 0600);
    EXPECT_EQ(LoadBroadcastSettings(temp.settings_).password, QStringLiteral("Sesame-3121"));
    // Later writes of other settings keep the file private.
    temp.settings_.SavePref(keys::kBroadcastGenre, QStringLiteral("House"));
    EXPECT_EQ(ModeOf(file), 0600);

    TempSettings none;
    ASSERT_TRUE(SaveBroadcastPassword(none.settings_, QStringLiteral("Sesame-3121"), &error));
    EXPECT_EQ(ModeOf(none.settings_.File()), 0600);
}

QStringList logged;
void Collect(QtMsgType, const QMessageLogContext&, const QString& text) { logged << text; }

// Real connections that fail (a malformed name, refused before any name server is asked; a
// port where nothing listens) with debug output on: the password shows in no message, status
// or log line.
TEST(BroadcastSettings, ThePasswordAppearsInNoMessageStatusOrLogLine) {
    const auto app = StartApplication();
    const QtMessageHandler previous = qInstallMessageHandler(Collect);
    testing::FakeSource source;
    for (const char* server : {"no-such..host", "127.0.0.1"}) {
        Broadcaster::Parts parts;
        parts.connection = std::make_unique<ShoutConnection>();
        parts.encoder = std::make_unique<testing::FakeEncoder>();
        parts.source = &source;
        Broadcaster broadcaster(std::move(parts), 44100);
        QStringList texts;
        QObject::connect(&broadcaster, &Broadcaster::StateChanged,
                         [&](BroadcastState, const QString& status) { texts << status; });
        QObject::connect(&broadcaster, &Broadcaster::Problem,
                         [&](const QString& message) { texts << message; });
        QSignalSpy problems(&broadcaster, &Broadcaster::Problem);
        BroadcastSettings settings;
        settings.server = QLatin1String(server);
        settings.port = 9;  // discard: nothing listens there on a test machine
        settings.password = QStringLiteral("Sesame-5529");
        broadcaster.Connect(settings);
        ASSERT_TRUE(problems.wait(20000)) << server;
        for (const QString& text : texts + logged) EXPECT_FALSE(text.contains(settings.password));
        EXPECT_FALSE(texts.isEmpty());
    }
    qInstallMessageHandler(previous);
}

}  // namespace
}  // namespace corvane::broadcast
