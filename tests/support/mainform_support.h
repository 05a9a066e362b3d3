#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <memory>

#include "app/first_paint.h"
#include "app/main_form.h"
#include "app/startup.h"
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

    // The program's own start-up, as main() runs it; settings written before this call are what
    // the window restores. Start-up's questions are answered No and its messages recorded.
    MainForm& Form() {
        if (form_ == nullptr) {
            StartupOptions options;
            options.dialogs.ask = [](QWidget*, const QString&, const QString&, bool) {
                return false;
            };
            options.dialogs.tell = [this](QWidget*, const QString&, const QString& text) {
                messages_.append(text);
            };
            options.dialogs.note = options.dialogs.tell;
            options.formDialogs.chooseFile = [this](QWidget*, const OpenDialogRequest& request) {
                askedTitles_.append(request.title);
                askedFolders_.append(request.folder);
                return chosen_;
            };
            options.formDialogs.showMessage = [this](QWidget*, const QString& text) {
                messages_.append(text);
            };
            options.endProgram = [] {};
            form_ =
                std::make_unique<Startup>(*engine_, settings_, ini_, playlist_, std::move(options));
            form_->Run();
            // Until the first paint, the remembered files are not open yet.
            WaitFor([this] { return form_->Form()->findChild<FirstPaint*>() == nullptr; });
            // The tests run the main tick by hand (Timer1Tick): on a busy machine the running
            // tick's stall watch would skip songs that are slow to open.
            const_cast<QTimer&>(form_->Form()->Timer1()).stop();
        }
        return *form_->Form();
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
    std::unique_ptr<Startup> form_;  // owns the main window
    QString chosen_;
    QStringList askedTitles_;
    QStringList askedFolders_;
    QStringList messages_;

private:
    std::unique_ptr<QCoreApplication> app_;
};

}  // namespace corvane::app::testing
