#pragma once

#include <QString>
#include <QVariantMap>

namespace corvane::remote {

// The AutoPilot as the desktop's media controls see it.
struct MprisState {
    bool on = false;        // the AutoPilot is switched on
    bool sounding = false;  // one of its two players is playing
    bool hasSongs = false;  // the playlist has songs to play
    QString title;          // the current song as the panel shows it; empty: none
    QString path;           // its file
    qint64 lengthUs = 0;
    quint64 track = 0;  // counts the songs started; names the track

    bool operator==(const MprisState&) const = default;
};

inline constexpr char kNoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

// "Playing" while the AutoPilot runs or its last song still plays, else "Stopped": a song is
// never held, so there is no "Paused".
QString PlaybackStatus(const MprisState& state);
// The current song's object path, or kNoTrack.
QString TrackId(const MprisState& state);
// The Player interface's properties that follow the state. "mpris:trackid" in Metadata is
// the object path as text: the bus layer gives it its type.
QVariantMap PlayerProperties(const MprisState& state);
// The entries of `after` that differ from `before`.
QVariantMap ChangedProperties(const QVariantMap& before, const QVariantMap& after);

// What a media key does to the AutoPilot.
enum class PilotAction { None, Start, Stop, Next };
enum class MprisCommand { Play, Pause, PlayPause, Stop, Next };
// Play starts it when it is off; Pause stops it after the current song when it is on, as
// its stop button does; Stop also stops a last song still playing (the stop button's second
// click); PlayPause is Pause when on, else Play.
PilotAction ActionFor(MprisCommand command, const MprisState& state);

}  // namespace corvane::remote
