#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <memory>

#include "playlist/list_editing.h"
#include "playlist/playlist.h"
#include "playlist/ui/list_editor.h"
#include "support/desk_test_fixture.h"
#include "support/files.h"
#include "support/qstring_printer.h"
#include "support/temp_settings.h"

namespace corvane::editor::testing {

using engine::testing::Strings;

// Kept for the process's life: the editor and viewer tests share one.
inline void EnsureApplication() { StartApplication<QApplication>().release(); }

// Writes `content` to `path`, making its folders.
inline void Touch(const QString& path, const QByteArray& content = "x") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// The real editor window over a settings file and a music folder in a temporary directory;
// its dialogs answer at once with what the test put in and record what they were asked.
class EditorTest : public ::testing::Test, public TempSettings {
protected:
    void SetUp() override {
        EnsureApplication();
        music_ = dir_.path() + QStringLiteral("/music/");
        QDir().mkpath(music_);
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3", "x.wav", "y.wav"})
            Touch(music_ + QLatin1String(name));
    }

    ListEditor& Editor() {
        if (editor_ == nullptr) {
            EditorCallbacks callbacks;
            callbacks.chooseOpen = [this](const OpenDialogRequest& request) {
                asked_.append(request.title);
                return openAnswer_;
            };
            callbacks.chooseSave = [this](const OpenDialogRequest& request,
                                          const QString& fileName) {
                asked_.append(request.title + QStringLiteral(": ") + fileName);
                return saveAnswer_;
            };
            callbacks.confirm = [this](const QString& question) {
                asked_.append(question);
                return confirmAnswer_;
            };
            callbacks.message = [this](const QString& text) { messages_.append(text); };
            callbacks.playlistOpened = [this] { ++opened_; };
            editor_ = std::make_unique<ListEditor>(playlist_, settings_, std::move(callbacks));
            settings_.SavePref(keys::kSongPath, music_);
            editor_->OpenEditor();
        }
        return *editor_;
    }

    // SongList as the user numbers nothing: the file names, in order.
    QStringList Names() const {
        QStringList names;
        for (const QString& song : playlist_.SongList) names.append(QFileInfo(song).fileName());
        return names;
    }

    void FillList(const QStringList& names) {
        for (const QString& name : names) playlist_.SongList.append(music_ + name);
        Editor().Refresh1();
    }

    QString music_;
    Playlist playlist_;
    std::unique_ptr<ListEditor> editor_;
    QString openAnswer_;
    QString saveAnswer_;
    SaveAnswer confirmAnswer_ = SaveAnswer::Cancel;
    QStringList asked_;
    QStringList messages_;
    int opened_ = 0;
};

}  // namespace corvane::editor::testing
