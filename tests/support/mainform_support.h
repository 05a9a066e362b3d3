#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <memory>

#include "app/main_form.h"
#include "audio/decoder.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "engine/desk.h"
#include "playlist/playlist.h"
#include "settings/settings.h"
#include "support/files.h"
#include "support/temp_settings.h"

namespace corvane::app::testing {

// The real main window over an offline engine, a settings file in a temporary folder and
// dialogs that answer at once: the open dialog returns `chosen_` (empty = Cancel) and records
// what it was asked; message boxes are recorded.
class MainFormTest : public ::testing::Test, public TempSettings {
protected:
    void SetUp() override {
        app_ = StartApplication<QApplication>();
        audio::EngineOptions options;
        options.output = audio::OutputKind::Offline;
        engine_ = std::make_unique<audio::Engine>(options, audio::OpenDecoder);
    }

    void TearDown() override {
        form_.reset();
        engine_.reset();
    }

    // Settings written before this call are what the window restores.
    MainForm& Form() {
        if (form_ == nullptr) {
            FormDialogs dialogs;
            dialogs.chooseFile = [this](QWidget*, const OpenDialogRequest& request) {
                askedTitles_.append(request.title);
                return chosen_;
            };
            dialogs.showMessage = [this](QWidget*, const QString& text) { messages_.append(text); };
            form_ = std::make_unique<MainForm>(*engine_, settings_, playlist_, dialogs);
            form_->LoadSettings();
        }
        return *form_;
    }

    // Loads a fixture on a playback line through the desk and waits until it is open.
    bool Load(int line, const char* fixture) {
        if (!Form().Desk().FileOpen(line, Fixture(fixture))) return false;
        audio::MediaPlayer* player = engine_->Player(line);
        return WaitFor([player] { return player->OpenState() == audio::MediaPlayer::kOpen; });
    }

    void Key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             bool autoRepeat = false) {
        QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
        QCoreApplication::sendEvent(&Form(), &event);
    }
    void Tap(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Key(QEvent::KeyPress, key, modifiers);
        Key(QEvent::KeyRelease, key, modifiers);
    }

    Playlist playlist_;
    std::unique_ptr<audio::Engine> engine_;
    std::unique_ptr<MainForm> form_;
    QString chosen_;
    QStringList askedTitles_;
    QStringList messages_;

private:
    std::unique_ptr<QCoreApplication> app_;
};

}  // namespace corvane::app::testing
