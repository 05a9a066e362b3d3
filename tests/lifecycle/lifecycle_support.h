#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "support/mainform_support.h"  // also start-up, the engine, the playlist and settings

namespace corvane::app::testing {

inline bool WriteText(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A playlist file of fixture songs.
inline bool WriteList(const QString& path, std::initializer_list<const char*> songs) {
    QByteArray text;
    for (const char* song : songs) text += Fixture(song).toUtf8() + "\n";
    return WriteText(path, text);
}

// One run of the program, from start-up to exit, over an offline engine and a settings file
// in a folder the test keeps; each run has its own IniFiles and Settings, as a new process
// would. Message boxes are recorded and answered from `answers`.
struct ProgramRun {
    ProgramRun(const QString& settingsFile, const QString& appFolder, CommandLine commandLine,
               QList<bool>* answers, QStringList* asked, QStringList* told)
        : settings(ini, settingsFile, keys::DefaultFolders{appFolder, appFolder}) {
        audio::EngineOptions engineOptions;
        engineOptions.output = audio::OutputKind::Offline;
        engine = std::make_unique<audio::Engine>(engineOptions, audio::OpenDecoder);
        StartupOptions options;
        options.commandLine = std::move(commandLine);
        options.appFolder = appFolder;
        options.dialogs.ask = [answers, asked](QWidget*, const QString& title, const QString& text,
                                               bool) {
            asked->append(title + QStringLiteral(": ") + text);
            return answers->isEmpty() ? false : answers->takeFirst();
        };
        options.dialogs.tell = [told](QWidget*, const QString& title, const QString& text) {
            told->append(title + QStringLiteral(": ") + text);
        };
        options.dialogs.note = options.dialogs.tell;
        options.formDialogs.chooseFile = [](QWidget*, const OpenDialogRequest&) {
            return QString();
        };
        options.formDialogs.showMessage = [told](QWidget*, const QString& text) {
            told->append(text);
        };
        options.endProgram = [this] { ++ended; };
        startup = std::make_unique<Startup>(*engine, settings, ini, playlist, std::move(options));
    }
    IniFiles ini;
    Settings settings;
    Playlist playlist;
    std::unique_ptr<audio::Engine> engine;
    std::unique_ptr<Startup> startup;  // destroyed first: it uses all of the above
    int ended = 0;
};

// Start-up runs over the same application object and temporary folder as the main window's
// tests; each run brings its own engine.
class LifecycleTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        QDir().mkpath(AppFolder());
    }

    QString SettingsFile() const { return dir_.filePath(QStringLiteral("config/Corvane.ini")); }
    QString AppFolder() const { return dir_.filePath(QStringLiteral("app")); }

    std::unique_ptr<ProgramRun> Start(const QStringList& arguments = {}) {
        auto run = std::make_unique<ProgramRun>(
            SettingsFile(), AppFolder(),
            ParseCommandLine(QStringList{QStringLiteral("corvane")} + arguments), &answers_,
            &asked_, &told_);
        run->startup->Run();
        return run;
    }

    QList<bool> answers_;
    QStringList asked_;
    QStringList told_;
};

}  // namespace corvane::app::testing
