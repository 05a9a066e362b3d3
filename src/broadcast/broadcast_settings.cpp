#include "broadcast/broadcast_settings.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "playlist/paths.h"
#include "settings/settings.h"

namespace corvane::broadcast {

namespace {
constexpr QFileDevice::Permissions kPrivate = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

bool IsPrivate(const QString& file) {
    // QFileInfo reports the owner's and the user's bits alike; the group's and others' count.
    return (QFileInfo(file).permissions() &
            ~(kPrivate | QFileDevice::ReadUser | QFileDevice::WriteUser)) == 0;
}
}  // namespace

QString TitleFor(const QString& path) { return StripExtension(SplitPath(path).fileName); }

QString FormatName(StreamFormat format) {
    switch (format) {
        case StreamFormat::Mp3:
            return QStringLiteral("MP3");
        case StreamFormat::OggVorbis:
            return QStringLiteral("Ogg Vorbis");
        case StreamFormat::OggOpus:
            return QStringLiteral("Ogg Opus");
    }
    return {};
}

QStringList FormatNames() {
    return {FormatName(StreamFormat::Mp3), FormatName(StreamFormat::OggVorbis),
            FormatName(StreamFormat::OggOpus)};
}

StreamFormat FormatFromName(const QString& name) {
    for (StreamFormat format : {StreamFormat::OggVorbis, StreamFormat::OggOpus})
        if (name.compare(FormatName(format), Qt::CaseInsensitive) == 0) return format;
    return StreamFormat::Mp3;
}

BroadcastSettings LoadBroadcastSettings(const Settings& settings) {
    BroadcastSettings out;
    out.server = settings.GetText(keys::kBroadcastServer).trimmed();
    const int port = settings.GetInt(keys::kBroadcastPort);
    out.port = port >= 1 && port <= 65535 ? port : 8000;
    out.mount = settings.GetText(keys::kBroadcastMount).trimmed();
    if (!out.mount.startsWith(u'/')) out.mount.prepend(u'/');
    out.user = settings.GetText(keys::kBroadcastUser);
    out.password = settings.GetText(keys::kBroadcastPassword);
    out.name = settings.GetText(keys::kBroadcastName);
    out.genre = settings.GetText(keys::kBroadcastGenre);
    out.format = FormatFromName(settings.GetText(keys::kBroadcastFormat));
    const int bitrate = settings.GetInt(keys::kBroadcastBitrate);
    out.bitrate =
        std::find(std::begin(kBitrates), std::end(kBitrates), bitrate) != std::end(kBitrates)
            ? bitrate
            : 192;
    out.lineTitles = settings.GetBool(keys::kBroadcastLineTitles);
    return out;
}

bool SaveBroadcastPassword(Settings& settings, const QString& password, QString* error) {
    const QString& file = settings.File();
    const auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QString unwritable = QStringLiteral("The settings file %1 cannot be written.").arg(file);
    if (!password.isEmpty()) {
        // A file that does not exist yet is made first, so that its mode is set before the
        // password goes in.
        if (!QFileInfo::exists(file) &&
            !settings.SavePref(keys::kBroadcastServer, settings.GetText(keys::kBroadcastServer)))
            return fail(unwritable);
        if (!QFile::setPermissions(file, kPrivate) || !IsPrivate(file))
            return fail(QStringLiteral("The password was not saved: the settings file %1 cannot "
                                       "be made private (mode 0600).")
                            .arg(file));
    }
    if (!settings.SavePref(keys::kBroadcastPassword, password)) return fail(unwritable);
    return true;
}

}  // namespace corvane::broadcast
