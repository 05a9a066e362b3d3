#include "app/log_wiring.h"

#include <QAction>
#include <QMenu>

#include "app/appearance_wiring.h"
#include "app/desk_panels.h"
#include "app/main_form.h"
#include "appearance/ui/butt.h"
#include "settings/settings.h"
#include "songlog/songlog.h"
#include "songlog/ui/log_view.h"

namespace corvane::app {

LogWiring::LogWiring(MainForm& form, Settings& settings, SongLog& log, songlog::LogDialogs dialogs)
    : form_(form), settings_(settings), log_(log), dialogs_(std::move(dialogs)) {
    connect(form.Buttons()->Button(ButtonRow::LogButt), &appearance::Butt::Click, this,
            &LogWiring::LogButtClick);
    if (auto* mnuLog = form.RCMenu()->findChild<QAction*>(QStringLiteral("mnuLog"))) {
        connect(mnuLog, &QAction::triggered, this, &LogWiring::LogButtClick);
    }
    connect(&form, &MainForm::ColorsApplied, this, &LogWiring::Colors);
    connect(&log_, &SongLog::EntryWritten, this, [this](int entry) {
        if (ViewOpen()) view_->AddOne(entry);
    });
}

LogWiring::~LogWiring() {
    if (view_) delete view_.data();
}

void LogWiring::LogButtClick() {
    if (!ViewOpen()) {
        view_ = new songlog::View(
            settings_, [this] { return log_.LogFile(); }, dialogs_, logReader_, &form_);
        connect(view_, &songlog::View::OptionsRequested, this, &LogWiring::OptionsRequested);
        // In the scheme shown now, which a face may have set, not the one stored.
        connect(view_, &songlog::View::Unloaded, this, [this] {
            view_ = nullptr;
            Colors(form_.Look().Scheme());
        });
        Colors(form_.Look().Scheme());
        view_->Load();
        return;
    }
    view_->showNormal();
    view_->raise();
    view_->activateWindow();
}

void LogWiring::Colors(const ColorScheme& scheme) {
    form_.Buttons()
        ->Button(ButtonRow::LogButt)
        ->ColChange(ColorValue(ViewOpen() ? scheme.hilite : scheme.text));
}

}  // namespace corvane::app
