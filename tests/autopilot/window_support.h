#pragma once

#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <memory>

#include "support/mainform_support.h"

namespace corvane::app::testing {

// The real window over the offline engine, with playlists of the generated songs.
class AutoPilotWindowTest : public MainFormTest {
protected:
    // An m3u file in the temporary folder naming `songs` by their full paths.
    QString WriteList(const QString& name, const QStringList& songs) {
        const QString path = dir_.filePath(name);
        QFile list(path);
        EXPECT_TRUE(list.open(QIODevice::WriteOnly));
        for (const QString& song : songs) list.write(QFile::encodeName(song) + "\n");
        return path;
    }

    static QStringList ThreeSongs() {
        return {Fixture("song_8s_a.wav"), Fixture("song_8s_b.wav"), Fixture("song_8s_c.wav")};
    }
    // The window with the three songs as its remembered list.
    MainForm& FormWithList() {
        settings_.SavePref(keys::kPlayList, WriteList(QStringLiteral("Demo.m3u"), ThreeSongs()));
        return Form();
    }

    // What the file manager puts on a drag: the files as URLs.
    static std::unique_ptr<QMimeData> Files(const QList<QUrl>& urls) {
        auto data = std::make_unique<QMimeData>();
        data->setUrls(urls);
        return data;
    }
    static std::unique_ptr<QMimeData> File(const QString& path) {
        return Files({QUrl::fromLocalFile(path)});
    }
};

}  // namespace corvane::app::testing
