#include "app/appearance_wiring.h"

#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>

#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "app/main_form.h"
#include "appearance/face.h"
#include "appearance/ui/minicrossfader.h"
#include "appearance/ui/minislider.h"
#include "appearance/ui/pan.h"
#include "appearance/ui/picture.h"
#include "appearance/ui/units.h"
#include "engine/desk.h"
#include "settings/settings.h"

namespace corvane::app {

using appearance::FacePicture;
using appearance::FacePictureFiles;

namespace {

// The first of the face's files for the picture that can be read: a broken "backpic.bmp" gives
// way to a good "backpic.jpg".
QString FirstReadable(const QString& facePath, FacePicture picture) {
    for (const QString& file : FacePictureFiles(facePath, picture)) {
        if (appearance::ControlPicture::FromFile(file)) return file;
    }
    return QString();
}

QPixmap LoadBackground(const QString& facePath) {
    for (const QString& file : FacePictureFiles(facePath, FacePicture::Background)) {
        QPixmap picture = appearance::ReadRasterPicture(file);
        if (!picture.isNull()) return picture;
    }
    return QPixmap();
}

// Where the widget's top-left corner sits in the window, in twips.
QPoint TwipsIn(const QWidget* widget, const QWidget* window) {
    return widget->mapTo(window, QPoint(0, 0)) * int(appearance::kTwipsPerPixel);
}

}  // namespace

FaceDialogs FaceDialogs::Standard() {
    FaceDialogs dialogs;
    dialogs.ask = [](QWidget* parent, const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    dialogs.tell = [](QWidget* parent, const QString& title, const QString& text, bool warning) {
        if (warning) {
            QMessageBox::warning(parent, title, text);
        } else {
            QMessageBox::information(parent, title, text);
        }
    };
    return dialogs;
}

Appearance::Appearance(MainForm& form, Settings& settings, appearance::FaceFolders folders,
                       FaceDialogs dialogs)
    : form_(form), settings_(settings), folders_(std::move(folders)), dialogs_(std::move(dialogs)) {
    ReadStoredColors();
    for (QWidget* divider : form_.Dividers()) {
        // Hidden lines keep their place, so nothing under the face picture shifts.
        QSizePolicy policy = divider->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        divider->setSizePolicy(policy);
    }
    form_.installEventFilter(this);
}

Appearance::~Appearance() { form_.removeEventFilter(this); }

void Appearance::ReadStoredColors() { colors_ = appearance::StoredSchemeColors(settings_); }

void Appearance::ColorChange() { form_.ColorChange(); }

void Appearance::SetFace(const QString& name) { facePath_ = appearance::FacePath(folders_, name); }

bool Appearance::StoredLinesVisible() const { return settings_.GetBool(keys::kShowLines); }

void Appearance::RestoreFace() {
    ApplyShowLines(StoredLinesVisible());
    SetFace(settings_.GetText(keys::kFace));
    if (settings_.GetBool(keys::kBackPic)) LoadFace(true);
}

void Appearance::LoadFace(bool enabled) {
    if (!enabled || facePath_.isEmpty()) {
        ClearFace();
        return;
    }
    faceLoaded_ = true;
    background_ = LoadBackground(facePath_);
    const QString sliderKnob = FirstReadable(facePath_, FacePicture::SliderKnob);
    for (int line = 0; line < engine::Desk::kLineCount; ++line) {
        LineStrip* strip = form_.Strip(line);
        // Without a picture to show through, a clear pan knob would lose its track for nothing.
        if (strip->PanKnob() != nullptr) strip->PanKnob()->MakeTrans(!background_.isNull());
        strip->Slider()->SetCap(sliderKnob);
    }
    form_.CrossfaderArea()->Crossfader()->SetCap(FirstReadable(facePath_, FacePicture::FaderKnob));
    PlacePictures();

    const QString colorsFile = appearance::FaceColorsFile(facePath_);
    const std::optional<appearance::FaceColors> face =
        colorsFile.isEmpty() ? std::nullopt
                             : appearance::ReadFaceColors(settings_.Ini(), colorsFile, colors_);
    if (face) {
        // A face's colours are its own: they are not stored as the user's scheme.
        colors_ = face->colors;
        ColorChange();
        ApplyShowLines(face->linesVisible.value_or(StoredLinesVisible()));
    } else {
        colors_ = appearance::StoredSchemeColors(settings_, appearance::kFaceLedColor);
        ApplyShowLines(StoredLinesVisible());
        ColorChange();
    }
    form_.update();
}

void Appearance::ClearFace() {
    faceLoaded_ = false;
    background_ = QPixmap();
    appearance::MiniCrossfader* crossfader = form_.CrossfaderArea()->Crossfader();
    crossfader->GetPic(QPixmap(), 0, 0);
    crossfader->SetCap(QString());
    for (int line = 0; line < engine::Desk::kLineCount; ++line) {
        LineStrip* strip = form_.Strip(line);
        if (strip->PanKnob() != nullptr) strip->PanKnob()->MakeTrans(false);
        strip->Slider()->GetPic(QPixmap());
        strip->Slider()->SetCap(QString());
    }
    ReadStoredColors();
    ColorChange();
    ApplyShowLines(StoredLinesVisible());
    form_.update();
}

void Appearance::PlacePictures() {
    for (int line = 0; line < engine::Desk::kLineCount; ++line) {
        appearance::MiniSlider* slider = form_.Strip(line)->Slider();
        const QPoint at = TwipsIn(slider, &form_);
        slider->MovePic(at.x(), at.y());
        slider->GetPic(background_);
    }
    appearance::MiniCrossfader* crossfader = form_.CrossfaderArea()->Crossfader();
    const QPoint at = TwipsIn(crossfader, &form_);
    crossfader->GetPic(background_, at.x(), at.y());
}

void Appearance::ApplyShowLines(bool show) {
    linesVisible_ = show;
    for (QWidget* divider : form_.Dividers()) divider->setVisible(show);
    for (int line = 0; line < engine::Desk::kLineCount; ++line) {
        form_.Strip(line)->Slider()->ShowLines(show);
    }
    form_.CrossfaderArea()->Crossfader()->ShowLines(show);
}

bool Appearance::SaveColors(QWidget* parent) {
    if (!dialogs_.ask(parent, QLatin1String(kSaveTitle), QLatin1String(kSaveQuestion))) {
        return false;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString target = facePath_;
    QString copyError;
    if (appearance::IsInstalledFace(folders_, facePath_))
        target = appearance::CopyFaceToUser(folders_, facePath_, &copyError);
    const QString file = target + QLatin1String(appearance::kColorsFileName);
    const bool saved = !target.isEmpty() &&
                       appearance::WriteFaceColors(settings_.Ini(), file, colors_, linesVisible_);
    QGuiApplication::restoreOverrideCursor();
    if (saved) facePath_ = target;
    if (!copyError.isEmpty()) {
        dialogs_.tell(parent, QLatin1String(kSaveTitle),
                      QStringLiteral("The colors could not be saved: %1").arg(copyError), true);
    } else if (saved) {
        dialogs_.tell(parent, QLatin1String(kSavedTitle),
                      QStringLiteral("Colors saved to %1.").arg(QDir::toNativeSeparators(file)),
                      false);
    } else {
        dialogs_.tell(
            parent, QLatin1String(kSaveTitle),
            facePath_.isEmpty()
                ? QStringLiteral("No face is chosen, so there is no 'colors.txt' to save.")
                : QStringLiteral("The colors could not be saved to %1.")
                      .arg(QDir::toNativeSeparators(file)),
            true);
    }
    return saved;
}

bool Appearance::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &form_) {
        switch (event->type()) {
            case QEvent::Paint:
                // Over the window's background colour, under every control.
                if (!background_.isNull()) QPainter(&form_).drawPixmap(0, 0, background_);
                break;
            case QEvent::Resize:
            case QEvent::LayoutRequest:
            case QEvent::Show:
                // The layout moves the controls after this filter has seen the event.
                if (!background_.isNull() && !placePending_) {
                    placePending_ = true;
                    QMetaObject::invokeMethod(
                        this,
                        [this] {
                            placePending_ = false;
                            PlacePictures();
                        },
                        Qt::QueuedConnection);
                }
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace corvane::app
