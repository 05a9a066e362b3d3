#pragma once

#include <QLatin1String>
#include <QString>

#include "version.h"

// Every settings key of the program with its default, kept in this one place.
namespace corvane::keys {

// The section of the settings file that holds the settings, and the previous version's.
inline constexpr QLatin1String kSection{CORVANE_VERSION};
inline constexpr QLatin1String kPreviousSection{"1.30"};

// Song log
inline constexpr QLatin1String kLogFile{"LogFile"};
inline constexpr QLatin1String kLogAll{"LogAll"};
inline constexpr QLatin1String kLogPath{"LogPath"};
inline constexpr QLatin1String kLogging{"Logging"};
// Main window and timing
inline constexpr QLatin1String kStatHelp{"StatHelp"};
inline constexpr QLatin1String kPriority{"Priority"};
inline constexpr QLatin1String kToolTips{"ToolTips"};
inline constexpr QLatin1String kMainTop{"Main Top"};
inline constexpr QLatin1String kMainLeft{"Main Left"};
// Colours and face
inline constexpr QLatin1String kTextColor{"Text Color"};
inline constexpr QLatin1String kLedColor{"LED Color"};
inline constexpr QLatin1String kLineColor{"Line Color"};
inline constexpr QLatin1String kBackColor{"Back Color"};
inline constexpr QLatin1String kHiliteColor{"Hilite Color"};
inline constexpr QLatin1String kShowLines{"Show Lines"};
inline constexpr QLatin1String kFace{"Face"};
inline constexpr QLatin1String kBackPic{"BackPic"};
// Crossfader
inline constexpr QLatin1String kFadeSpeed{"FadeSpeed"};
inline constexpr QLatin1String kAsof{"ASOF"};
inline constexpr QLatin1String kAutoReset{"AutoReset"};
// Folders and files
inline constexpr QLatin1String kPath{"Path"};
inline constexpr QLatin1String kListPath{"ListPath"};
inline constexpr QLatin1String kPlayList{"PlayList"};
inline constexpr QLatin1String kSongPath{"SongPath"};
// Where missing songs are looked for by name (default: the desktop's music folder)
inline constexpr QLatin1String kMusicFolder{"MusicFolder"};
// AutoPilot and displays
inline constexpr QLatin1String kNoRep{"NoRep"};
inline constexpr QLatin1String kFadeSeconds{"FadeSeconds"};
inline constexpr QLatin1String kSpinUp{"SpinUp"};
inline constexpr QLatin1String kRemain{"Remain"};
inline constexpr QLatin1String kRandom{"Random"};
// Mic Level window
inline constexpr QLatin1String kShowMic{"ShowMic"};
inline constexpr QLatin1String kMicTop{"Mic Top"};
inline constexpr QLatin1String kMicLeft{"Mic Left"};
inline constexpr QLatin1String kMicOnTop{"MicOnTop"};
// Log viewer and text export
inline constexpr QLatin1String kViewWidth{"ViewWidth"};
inline constexpr QLatin1String kViewHeight{"ViewHeight"};
inline constexpr QLatin1String kViewLeft{"ViewLeft"};
inline constexpr QLatin1String kViewTop{"ViewTop"};
inline constexpr QLatin1String kViewState{"ViewState"};
inline constexpr QLatin1String kLastTextLog{"LastTextLog"};
inline constexpr QLatin1String kSaveDates{"SaveDates"};
inline constexpr QLatin1String kSaveTimes{"SaveTimes"};
// Playlist Editor
inline constexpr QLatin1String kListLeft{"ListLeft"};
inline constexpr QLatin1String kListTop{"ListTop"};
// Audio engine: output device name (empty: the system default) and buffer size in frames
inline constexpr QLatin1String kAudioDevice{"AudioDevice"};
inline constexpr QLatin1String kAudioBuffer{"AudioBuffer"};
// The master limiter at -1 dBFS
inline constexpr QLatin1String kLimiter{"Limiter"};
// Recording the master: folder, format (WAV16, WAV24, FLAC, MP3, OGG) and MP3/Ogg kbit/s
inline constexpr QLatin1String kRecordFolder{"RecordFolder"};
inline constexpr QLatin1String kRecordFormat{"RecordFormat"};
inline constexpr QLatin1String kRecordBitrate{"RecordBitrate"};
// Headphones: empty (none), ":3-4" (channels 3 and 4 of the main device) or a device name;
// the Cue/Mix blend and the level in percent
inline constexpr QLatin1String kHeadphones{"Headphones"};
inline constexpr QLatin1String kCueMix{"CueMix"};
inline constexpr QLatin1String kHeadphoneLevel{"HeadphoneLevel"};
// Broadcasting to an Icecast server. The password is kept only while the file's mode is 0600.
inline constexpr QLatin1String kBroadcastServer{"BroadcastServer"};
inline constexpr QLatin1String kBroadcastPort{"BroadcastPort"};
inline constexpr QLatin1String kBroadcastMount{"BroadcastMount"};
inline constexpr QLatin1String kBroadcastUser{"BroadcastUser"};
inline constexpr QLatin1String kBroadcastPassword{"BroadcastPassword"};
inline constexpr QLatin1String kBroadcastName{"BroadcastName"};
inline constexpr QLatin1String kBroadcastGenre{"BroadcastGenre"};
inline constexpr QLatin1String kBroadcastFormat{"BroadcastFormat"};  // MP3, Ogg Vorbis, Ogg Opus
inline constexpr QLatin1String kBroadcastBitrate{"BroadcastBitrate"};
inline constexpr QLatin1String kBroadcastLineTitles{"BroadcastLineTitles"};

// Per-line keys: the word, one blank, the line number ("Slider 3").
QString SliderKey(int line);    // lines 0 to 7
QString LoopKey(int line);      // lines 0 to 6; "Loop 0" is the AutoPilot's playlist loop
QString FileKey(int line);      // lines 1 to 6
QString FadeModeKey(int line);  // lines 0 to 6

// The folders that some defaults are made of.
struct DefaultFolders {
    DefaultFolders() = default;
    // Without a music folder (tests), no missing song is looked for outside its list's folder.
    DefaultFolders(QString appFolder, QString userDataFolder, QString musicFolder = {})
        : app(std::move(appFolder)),
          userData(std::move(userDataFolder)),
          music(std::move(musicFolder)) {}

    QString app;       // the program folder ("Path", "ListPath", "SongPath")
    QString userData;  // where the program writes its own files ("LogFile")
    QString music;     // the user's music folder ("MusicFolder"); empty: none
                       // ("RecordFolder" is in it, else in userData)
};
// The folders of this installation and user.
DefaultFolders CurrentFolders();

// The text export's default file: the log file with its extension replaced by ".txt".
QString TextLogFor(const QString& logFile);

// The default of a key, matched without regard to case; empty text for keys without one
// (window positions, which default to centred) and for unknown keys. "LastTextLog" follows
// the default log file here; Settings derives it from the stored one.
QString DefaultFor(const QString& key, const DefaultFolders& folders);
// Whether the key is one of the keys above (per-line keys only for their lines).
bool IsKnownKey(const QString& key);

}  // namespace corvane::keys
