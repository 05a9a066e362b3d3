#include "app/demo_set.h"

#include <QDir>

#include "playlist/playlist.h"
#include "settings/settings.h"

namespace corvane {

int OfferDemoSet(Settings& settings, const QString& demoFolder) {
    const QString folder = QDir(demoFolder).absolutePath() + QLatin1Char('/');
    const QString listName = QStringLiteral("Demo.m3u");
    Playlist demo;
    if (!LoadPlaylist(demo, folder, listName, true)) return 0;
    int filled = 0;
    for (int line = 1; line <= 6 && line <= demo.SongList.size(); ++line) {
        if (settings.Has(keys::FileKey(line))) continue;
        if (settings.SavePref(keys::FileKey(line), demo.SongList.at(line - 1))) ++filled;
    }
    if (!settings.Has(keys::kPlayList) && settings.SavePref(keys::kPlayList, folder + listName))
        ++filled;
    return filled;
}

}  // namespace corvane
