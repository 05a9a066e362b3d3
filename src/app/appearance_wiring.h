#pragma once

#include <QObject>
#include <QPixmap>
#include <QString>
#include <functional>

#include "app/color_scheme.h"
#include "appearance/colors.h"
#include "appearance/face.h"

class QWidget;

namespace corvane {
class Settings;
}

namespace corvane::app {

class MainForm;

// The message boxes of Save Colors; tests put in their own so nothing blocks.
struct FaceDialogs {
    // A Yes/No question; true for Yes.
    std::function<bool(QWidget* parent, const QString& title, const QString& text)> ask;
    // A message with an OK button; `warning` for a failure, else an information box.
    std::function<void(QWidget* parent, const QString& title, const QString& text, bool warning)>
        tell;

    static FaceDialogs Standard();
};

// The main window's look: the colour scheme it is drawn in, the face (background picture, knob
// pictures, the face's own colours) and the dividing lines. The window owns this; the Options
// dialog and start-up drive it.
//
// The background picture covers the whole window from its top-left corner; each slider and the
// crossfader paint the part of it behind them, placed from where the layout put them, so the
// picture looks continuous whatever the desk's geometry.
class Appearance : public QObject {
    Q_OBJECT

public:
    static constexpr char kSaveTitle[] = "Save Colors";
    static constexpr char kSaveQuestion[] =
        "Do you want to save the current color scheme to 'colors.txt' for this face?";
    static constexpr char kSavedTitle[] = "Color Scheme Saved";

    Appearance(MainForm& form, Settings& settings, appearance::FaceFolders folders,
               FaceDialogs dialogs = FaceDialogs::Standard());
    ~Appearance() override;

    // The scheme the window is drawn in (by ColorChange); read from the settings at first.
    const appearance::SchemeColors& Colors() const { return colors_; }
    ColorScheme Scheme() const { return ColorScheme::FromValues(colors_); }
    // A new scheme, e.g. a colour picked in the Options dialog; ColorChange shows it.
    void SetColors(const appearance::SchemeColors& colors) { colors_ = colors; }
    // The five colours from the settings store.
    void ReadStoredColors();
    // Applies the scheme to the main window (MainForm::ColorChange).
    void ColorChange();

    // The user's faces and the installed ones; a user's face wins over an installed one.
    const appearance::FaceFolders& Folders() const { return folders_; }
    void SetFolders(appearance::FaceFolders folders) { folders_ = std::move(folders); }
    // The current face's folder ending in '/', empty until a face is chosen or when its name
    // cannot be a face.
    const QString& FacePath() const { return facePath_; }
    void SetFace(const QString& name);
    void SetFacePath(const QString& path) { facePath_ = path; }

    // enabled and a face chosen: the face's pictures and colours (its "colors.txt", else the
    // stored scheme with a cyan LED default). Otherwise every face picture goes and the
    // stored scheme comes back.
    void LoadFace(bool enabled);
    bool FaceLoaded() const { return faceLoaded_; }
    // The background picture; null without a face or when the face has none.
    const QPixmap& Background() const { return background_; }

    // Shows or hides the dividing lines and the controls' scale marks.
    void ApplyShowLines(bool show);
    bool LinesVisible() const { return linesVisible_; }

    // Start-up: "Show Lines", the face named by "Face", and the face itself when "BackPic".
    void RestoreFace();
    // Tells the sliders and the crossfader where they sit over the background picture; runs by
    // itself whenever the window's layout changes.
    void PlacePictures();

    // Save Colors: asks, then writes the scheme and the lines' switch into the face's
    // "colors.txt"; an installed face is read-only, so it is first copied into the user's
    // folder and the copy becomes the current face. False when declined or when the file could
    // not be written (said so).
    bool SaveColors(QWidget* parent);
    void SetDialogs(FaceDialogs dialogs) { dialogs_ = std::move(dialogs); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ClearFace();
    bool StoredLinesVisible() const;

    MainForm& form_;
    Settings& settings_;
    appearance::FaceFolders folders_;
    FaceDialogs dialogs_;
    appearance::SchemeColors colors_;
    QString facePath_;
    QPixmap background_;
    bool faceLoaded_ = false;
    bool linesVisible_ = true;
    bool placePending_ = false;
};

}  // namespace corvane::app
