#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/color_scheme.h"
#include "playlist/list_editing.h"

class QUrl;

namespace corvane {
class Settings;
struct Playlist;
}  // namespace corvane

namespace corvane::editor {
class ListEditor;
}

namespace corvane::about {
class AboutBox;
}

namespace corvane::appearance {
class Butt;
}

namespace corvane::app {

class MainForm;

// What the windows ask of the desktop; left empty, the standard dialogs and the desktop's
// opener. Tests put their own in so nothing blocks.
struct WindowDialogs {
    EditorCallbacks editor;  // only its dialogs and message are taken
    std::function<bool(const QUrl&)> openUrl;
};

// The Playlist Editor, the About box and the help on the main window: PList, Butt1 and
// HelpButt and their pop-up menu entries open them, and a button shows in "Hilite Color" while
// its window is open. The windows are made on first use and live as long as the main window.
class WindowWiring : public QObject {
    Q_OBJECT

public:
    WindowWiring(MainForm& form, Settings& settings, Playlist& playlist,
                 WindowDialogs dialogs = {});
    ~WindowWiring() override;

    // Before the windows are first made.
    void SetDialogs(WindowDialogs dialogs);
    // Made on first use.
    editor::ListEditor& Editor();
    about::AboutBox& About();
    bool EditorOpen() const;

    void PListClick();
    void Butt1Click();
    void HelpButtClick();

private:
    void Light(appearance::Butt* button, bool lit);
    void ConnectMenu(const char* name, void (WindowWiring::*slot)());

    MainForm& form_;
    Settings& settings_;
    Playlist& playlist_;
    WindowDialogs dialogs_;
    ColorScheme scheme_;
    std::unique_ptr<editor::ListEditor> editor_;
    std::unique_ptr<about::AboutBox> about_;
};

}  // namespace corvane::app
