#pragma once

#include <QString>
#include <QStringList>

#include "broadcast/broadcast_types.h"

namespace corvane {
class Settings;
}

namespace corvane::broadcast {

// The bit rates offered, in kbit/s.
inline constexpr int kBitrates[] = {64, 96, 128, 160, 192, 256, 320};

// "MP3", "Ogg Vorbis", "Ogg Opus": the names the settings file and the Options dialog use.
QString FormatName(StreamFormat format);
QStringList FormatNames();
StreamFormat FormatFromName(const QString& name);

// The broadcast settings as stored, defaults for what is missing or out of range.
BroadcastSettings LoadBroadcastSettings(const Settings& settings);

// Stores the password, empty to remove it. The settings file is made private to its owner
// (mode 0600) first; when that cannot be done the password is not stored and `error` says
// why. The error never holds the password.
bool SaveBroadcastPassword(Settings& settings, const QString& password, QString* error);

}  // namespace corvane::broadcast

namespace corvane::broadcast {
// The stream title for a song: its file name without the extension, as everywhere else.
QString TitleFor(const QString& path);
}  // namespace corvane::broadcast
