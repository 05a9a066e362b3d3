#include "settings/keys.h"

#include <QStandardPaths>
#include <algorithm>

#include "settings/appdirs.h"

namespace corvane::keys {

namespace {

enum class Kind { Fixed, AppFolder, LogFile, TextLog, MusicFolder, RecordFolder };

struct KeyDefault {
    QLatin1String key;
    Kind kind;
    QLatin1String value;
};

constexpr QLatin1String kNone{""};

constexpr KeyDefault kTable[] = {
    {kLogFile, Kind::LogFile, kNone},
    {kLogAll, Kind::Fixed, QLatin1String("True")},
    {kLogPath, Kind::Fixed, QLatin1String("False")},
    {kLogging, Kind::Fixed, QLatin1String("False")},
    {kStatHelp, Kind::Fixed, QLatin1String("1")},
    {kPriority, Kind::Fixed, QLatin1String("300")},
    {kToolTips, Kind::Fixed, QLatin1String("True")},
    {kMainTop, Kind::Fixed, kNone},
    {kMainLeft, Kind::Fixed, kNone},
    {kTextColor, Kind::Fixed, QLatin1String("14737632")},
    {kLedColor, Kind::Fixed, QLatin1String("-1")},
    {kLineColor, Kind::Fixed, QLatin1String("4210752")},
    {kBackColor, Kind::Fixed, QLatin1String("0")},
    {kHiliteColor, Kind::Fixed, QLatin1String("255")},
    {kShowLines, Kind::Fixed, QLatin1String("True")},
    {kFace, Kind::Fixed, QLatin1String("Sample")},
    {kBackPic, Kind::Fixed, QLatin1String("False")},
    {kFadeSpeed, Kind::Fixed, QLatin1String("50")},
    {kAsof, Kind::Fixed, QLatin1String("False")},
    {kAutoReset, Kind::Fixed, QLatin1String("True")},
    {kPath, Kind::AppFolder, kNone},
    {kListPath, Kind::AppFolder, kNone},
    {kPlayList, Kind::Fixed, kNone},
    {kSongPath, Kind::AppFolder, kNone},
    {kMusicFolder, Kind::MusicFolder, kNone},
    {kNoRep, Kind::Fixed, QLatin1String("10")},
    {kFadeSeconds, Kind::Fixed, QLatin1String("3")},
    {kSpinUp, Kind::Fixed, QLatin1String("5")},
    {kRemain, Kind::Fixed, QLatin1String("True")},
    {kRandom, Kind::Fixed, QLatin1String("False")},
    {kShowMic, Kind::Fixed, QLatin1String("False")},
    {kMicTop, Kind::Fixed, kNone},
    {kMicLeft, Kind::Fixed, kNone},
    {kMicOnTop, Kind::Fixed, QLatin1String("True")},
    {kViewWidth, Kind::Fixed, QLatin1String("7275")},
    {kViewHeight, Kind::Fixed, QLatin1String("5295")},
    {kViewLeft, Kind::Fixed, kNone},
    {kViewTop, Kind::Fixed, kNone},
    {kViewState, Kind::Fixed, QLatin1String("0")},
    {kLastTextLog, Kind::TextLog, kNone},
    {kSaveDates, Kind::Fixed, QLatin1String("1")},
    {kSaveTimes, Kind::Fixed, QLatin1String("1")},
    {kListLeft, Kind::Fixed, kNone},
    {kListTop, Kind::Fixed, kNone},
    {kAudioDevice, Kind::Fixed, kNone},
    {kAudioBuffer, Kind::Fixed, QLatin1String("512")},
    {kLimiter, Kind::Fixed, QLatin1String("True")},
    {kRecordFolder, Kind::RecordFolder, kNone},
    {kRecordFormat, Kind::Fixed, QLatin1String("FLAC")},
    {kRecordBitrate, Kind::Fixed, QLatin1String("192")},
    {kHeadphones, Kind::Fixed, kNone},
    {kCueMix, Kind::Fixed, QLatin1String("0")},
    {kHeadphoneLevel, Kind::Fixed, QLatin1String("80")},
    {kBroadcastServer, Kind::Fixed, QLatin1String("localhost")},
    {kBroadcastPort, Kind::Fixed, QLatin1String("8000")},
    {kBroadcastMount, Kind::Fixed, QLatin1String("/corvane")},
    {kBroadcastUser, Kind::Fixed, QLatin1String("source")},
    {kBroadcastPassword, Kind::Fixed, kNone},
    {kBroadcastName, Kind::Fixed, QLatin1String("Corvane")},
    {kBroadcastGenre, Kind::Fixed, kNone},
    {kBroadcastFormat, Kind::Fixed, QLatin1String("MP3")},
    {kBroadcastBitrate, Kind::Fixed, QLatin1String("192")},
    {kBroadcastLineTitles, Kind::Fixed, QLatin1String("False")},
};

struct LineKey {
    QLatin1String word;  // with its trailing blank
    int first;
    int last;
    QLatin1String value;
};

constexpr LineKey kLineKeys[] = {
    {QLatin1String("Slider "), 0, 7, QLatin1String("80")},
    {QLatin1String("Loop "), 0, 6, QLatin1String("False")},
    {QLatin1String("File "), 1, 6, kNone},
    {QLatin1String("Fade Mode "), 0, 6, QLatin1String("1")},
};

QString LineKeyFor(QLatin1String word, int line) { return word + QString::number(line); }

const KeyDefault* FindKey(const QString& key) {
    for (const KeyDefault& entry : kTable)
        if (key.compare(entry.key, Qt::CaseInsensitive) == 0) return &entry;
    return nullptr;
}

// The per-line key that the text names: the word, then the line number in decimal without
// leading zeros, within the key's range of lines.
const LineKey* FindLineKey(const QString& key) {
    for (const LineKey& entry : kLineKeys) {
        if (!key.startsWith(entry.word, Qt::CaseInsensitive)) continue;
        const QStringView digits = QStringView(key).mid(entry.word.size());
        if (digits.size() != 1 || digits.front() < u'0' || digits.front() > u'9') continue;
        const int line = digits.front().unicode() - u'0';
        if (line >= entry.first && line <= entry.last) return &entry;
    }
    return nullptr;
}

}  // namespace

QString SliderKey(int line) { return LineKeyFor(kLineKeys[0].word, line); }
QString LoopKey(int line) { return LineKeyFor(kLineKeys[1].word, line); }
QString FileKey(int line) { return LineKeyFor(kLineKeys[2].word, line); }
QString FadeModeKey(int line) { return LineKeyFor(kLineKeys[3].word, line); }

DefaultFolders CurrentFolders() {
    return {AppFolder(), UserDataFolder(),
            QStandardPaths::writableLocation(QStandardPaths::MusicLocation)};
}

QString TextLogFor(const QString& logFile) {
    const qsizetype nameStart = std::max(logFile.lastIndexOf(u'/'), logFile.lastIndexOf(u'\\')) + 1;
    const qsizetype dot = logFile.lastIndexOf(u'.');
    const QString stem = dot > nameStart ? logFile.left(dot) : logFile;
    return stem + QLatin1String(".txt");
}

QString DefaultFor(const QString& key, const DefaultFolders& folders) {
    if (const LineKey* line = FindLineKey(key)) return line->value;
    const KeyDefault* entry = FindKey(key);
    if (!entry) return {};
    const QString logFile = folders.userData + QLatin1String("/songs.log");
    switch (entry->kind) {
        case Kind::AppFolder:
            return folders.app;
        case Kind::LogFile:
            return logFile;
        case Kind::TextLog:
            return TextLogFor(logFile);
        case Kind::MusicFolder:
            return folders.music;
        case Kind::RecordFolder:
            return (folders.music.isEmpty() ? folders.userData : folders.music) +
                   QLatin1String("/Corvane Recordings");
        case Kind::Fixed:
            break;
    }
    return entry->value;
}

bool IsKnownKey(const QString& key) { return FindLineKey(key) || FindKey(key); }

}  // namespace corvane::keys
