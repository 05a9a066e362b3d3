#include "app/window_wiring.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>

#include "about/help.h"
#include "about/ui/about_box.h"
#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "app/main_form.h"
#include "appearance/ui/butt.h"
#include "autopilot/autopilot.h"
#include "engine/desk.h"
#include "playlist/playlist.h"
#include "playlist/song_finder.h"
#include "playlist/ui/list_editor.h"
#include "settings/appdirs.h"

namespace corvane::app {

WindowWiring::WindowWiring(MainForm& form, Settings& settings, Playlist& playlist,
                           WindowDialogs dialogs)
    : form_(form),
      settings_(settings),
      playlist_(playlist),
      dialogs_(std::move(dialogs)),
      scheme_(ColorScheme::FromSettings(settings)) {
    if (!dialogs_.openUrl)
        dialogs_.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    ButtonRow* row = form.Buttons();
    connect(row->Button(ButtonRow::PList), &appearance::Butt::Click, this,
            &WindowWiring::PListClick);
    connect(row->Button(ButtonRow::Butt1), &appearance::Butt::Click, this,
            &WindowWiring::Butt1Click);
    connect(row->Button(ButtonRow::HelpButt), &appearance::Butt::Click, this,
            &WindowWiring::HelpButtClick);
    ConnectMenu("mnuPLst", &WindowWiring::PListClick);
    ConnectMenu("mnuAbout", &WindowWiring::Butt1Click);
    ConnectMenu("mnuHelp", &WindowWiring::HelpButtClick);
    // A recolouring draws every button in "Text Color"; the open windows' buttons light again.
    connect(&form, &MainForm::ColorsApplied, this, [this](const ColorScheme& scheme) {
        scheme_ = scheme;
        if (about_) about_->ApplyColors(ColorValue(scheme.text), ColorValue(scheme.back));
        Light(form_.Buttons()->Button(ButtonRow::PList), EditorOpen());
        Light(form_.Buttons()->Button(ButtonRow::Butt1), about_ && about_->isVisible());
    });
    // A list loaded elsewhere while the editor shows: its rows must name the songs they remove.
    connect(&form.Desk(), &engine::Desk::PlaylistLoaded, this, [this] {
        if (EditorOpen()) editor_->Refresh1();
    });
    connect(&form.Pilot(), &autopilot::AutoPilot::ListTitleChanged, this, [this] {
        if (EditorOpen()) editor_->Refresh1();
    });
}

WindowWiring::~WindowWiring() = default;

void WindowWiring::SetDialogs(WindowDialogs dialogs) {
    if (!dialogs.openUrl) dialogs.openUrl = dialogs_.openUrl;
    dialogs_ = std::move(dialogs);
}

void WindowWiring::ConnectMenu(const char* name, void (WindowWiring::*slot)()) {
    if (auto* item = form_.RCMenu()->findChild<QAction*>(QLatin1String(name)))
        connect(item, &QAction::triggered, this, slot);
}

void WindowWiring::Light(appearance::Butt* button, bool lit) {
    button->ColChange(ColorValue(lit ? scheme_.hilite : scheme_.text));
}

bool WindowWiring::EditorOpen() const { return editor_ && editor_->EditorOpen(); }

editor::ListEditor& WindowWiring::Editor() {
    if (editor_) return *editor_;
    // The editor's own dialogs and messages belong to it; tests put theirs in.
    EditorCallbacks links = dialogs_.editor;
    links.playlistOpened = [this] { form_.Pilot().ChooseNextSong(); };
    links.playlistNamed = [this] {
        ElidedLabel* title = form_.Strip(engine::Desk::kAutoPilotLine)->TitleLabel();
        title->SetFullText(StripExtension(playlist_.ListName));
        title->setToolTip(playlist_.ListDir + playlist_.ListName);
        form_.UpdateTitle();
    };
    editor_ = std::make_unique<editor::ListEditor>(playlist_, settings_, std::move(links));
    editor_->SetFinder(&form_.Finder());
    connect(editor_.get(), &editor::ListEditor::Closed, this,
            [this] { Light(form_.Buttons()->Button(ButtonRow::PList), false); });
    return *editor_;
}

about::AboutBox& WindowWiring::About() {
    if (about_) return *about_;
    about_ =
        std::make_unique<about::AboutBox>(about::ProjectPageUrl(AppFolder()), dialogs_.openUrl);
    about_->ApplyColors(ColorValue(scheme_.text), ColorValue(scheme_.back));
    connect(about_.get(), &about::AboutBox::Closed, this,
            [this] { Light(form_.Buttons()->Button(ButtonRow::Butt1), false); });
    return *about_;
}

void WindowWiring::PListClick() {
    Light(form_.Buttons()->Button(ButtonRow::PList), true);
    Editor().OpenEditor();
}

void WindowWiring::Butt1Click() {
    Light(form_.Buttons()->Button(ButtonRow::Butt1), true);
    about::AboutBox& box = About();
    box.show();
    box.raise();
    box.activateWindow();
}

void WindowWiring::HelpButtClick() {
    about::OpenHelp(AppFolder(), dialogs_.openUrl,
                    [this](const QString& text) { form_.ShowMessage(text); });
}

}  // namespace corvane::app
