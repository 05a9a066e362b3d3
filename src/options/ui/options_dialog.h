#pragma once

#include <QDialog>
#include <QSpinBox>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>

#include "appearance/colors.h"
#include "options/option_fields.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace corvane {
class Settings;
struct LogSettings;
}  // namespace corvane

namespace corvane::options {

class HeadphoneHost;

// What the dialog's changes do outside the settings store: the main window, the crossfader,
// the AutoPilot, the face and the audio engine. The dialog stores; the host applies.
class OptionsHost {
public:
    virtual ~OptionsHost() = default;

    virtual int FadeSpeed() const = 0;
    virtual void SetFadeSpeed(int speed) = 0;
    virtual void SetRemain(bool on) = 0;
    // The crossfader's "ASOF" and "AutoReset".
    virtual bool AutoStop() const = 0;
    virtual void SetAutoStop(bool on) = 0;
    virtual bool AutoReset() const = 0;
    virtual void SetAutoReset(bool on) = 0;
    // The song log's "Logging", "LogAll", "LogPath" and "LogFile".
    virtual LogSettings LogOptions() const = 0;
    virtual void SetLogOptions(const LogSettings& options) = 0;
    virtual bool StatusHelpShown() const = 0;
    virtual void ShowStatusHelp(bool on) = 0;
    virtual void SetToolTips(bool on) = 0;
    virtual bool HighPriority() const = 0;
    virtual void SetHighPriority(bool on) = 0;
    virtual void SetNumber(const NumberField& field, int value) = 0;

    virtual appearance::SchemeColors Colors() const = 0;
    // The new scheme, shown at once (ColorChange).
    virtual void SetColors(const appearance::SchemeColors& colors) = 0;
    virtual bool LinesVisible() const = 0;
    virtual void ShowLines(bool on) = 0;
    // The faces to choose from: the user's and the installed ones.
    virtual QStringList FaceNames() const = 0;
    // The named face becomes current and is loaded.
    virtual void ChooseFace(const QString& name) = 0;
    virtual void LoadFace(bool on) = 0;
    virtual void SaveColors(QWidget* parent) = 0;

    virtual QStringList OutputDevices() const = 0;
    virtual int AudioRate() const = 0;
    virtual int AudioBufferFrames() const = 0;
    // Starts switching the output and returns at once; the players keep playing. `done` runs
    // (on the UI thread) once the new output is in place.
    virtual void SetAudioOutput(const QString& device, int bufferFrames,
                                std::function<void()> done) = 0;
    virtual long long Underruns() const = 0;
    // The master limiter, on or off at once.
    virtual void SetLimiter(bool /*on*/) {}
    // Where missing songs are looked for from now on.
    virtual void SetMusicFolder(const QString& /*folder*/) {}
    // The headphone choices of the Audio tab; none without an engine to apply them to.
    virtual HeadphoneHost* Headphones() { return nullptr; }
};

// The log file chooser: the chosen path, empty when cancelled. Tests put in their own.
using ChooseLogFile = std::function<QString(QWidget* parent, const QString& current)>;
ChooseLogFile StandardLogFileChooser();

// A spinner field that takes any whole number while typed and clamps it to its range when
// it is left, writing the bound back.
class NumberBox : public QSpinBox {
    Q_OBJECT

public:
    NumberBox(const NumberField& field, QWidget* parent = nullptr);
    const NumberField& Field() const { return field_; }
    QLineEdit* Edit() const { return lineEdit(); }

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    int valueFromText(const QString& text) const override;

private:
    NumberField field_;
};

// "CVN Options": every change is stored and applied the moment it is made; there is no Cancel.
// Made each time it opens (its load is FormLoad) and deleted when it closes.
class Options : public QDialog {
    Q_OBJECT

public:
    static constexpr char kTitle[] = "CVN Options";
    static constexpr char kBrowseTitle[] = "Choose a File to log to";
    enum Tab { General, AutoPilotTab, ColorsTab, FacesTab, LoggingTab, AudioTab };

    // allTabs false: only "&Logging" can be chosen (the log viewer's way in).
    Options(Settings& settings, OptionsHost& host, ChooseLogFile chooseLogFile, bool allTabs,
            QWidget* parent = nullptr);
    ~Options() override;

    bool OptionsReady() const { return ready_; }
    bool AllTabs() const { return allTabs_; }
    QTabWidget* Tabs() const { return tabs_; }
    // The palette box drawn without a border; -1 when none is.
    int MarkedBox() const { return marked_; }
    // The Audio tab's underrun count, refreshed each second while open.
    void RefreshUnderruns();

Q_SIGNALS:
    void Closed();
    // A change of device or buffer is in place; the choices take input again.
    void AudioSwitched();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildGeneral();
    QWidget* BuildAutoPilot();
    QWidget* BuildColors();
    QWidget* BuildFaces();
    QWidget* BuildLogging();
    QWidget* BuildAudio();
    void FormLoad();
    void FillFaces();
    void FillLogging();
    void FillAudio();

    void StoreCheck(QCheckBox* box, QLatin1String key);
    void Check1Click();
    void SpeedClick(int index);
    void Check6Click();
    void Check4Click();
    void PriorityClick(bool high);
    void NumberChanged(const NumberBox* box, int value);
    void Check7Click();
    void TargetClick(ColorTarget target);
    void ColorBoxClick(int index);
    void MarkBox(int index);
    void List1Click();
    void Check5Click();
    void EnableFaces(bool on);
    void ChLogClick();
    void EnableLogging(bool on);
    // Stores a logging choice and has the song log use it.
    void StoreLog(QLatin1String key, bool LogSettings::*choice, bool on);
    // The log file typed into txtFile, once the editing is finished.
    void StoreLogFile();
    void CmdBrowseClick();
    void MusicFolderChanged();
    void AudioChanged();
    void LimiterClick();

    Settings& settings_;
    OptionsHost& host_;
    ChooseLogFile chooseLogFile_;
    bool allTabs_;
    bool ready_ = false;
    ColorTarget target_ = ColorTarget::Led;
    int marked_ = -1;
    QTimer underrunTimer_;

    QTabWidget* tabs_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;
    std::array<QRadioButton*, 3> speeds_{};
    QButtonGroup* speedGroup_ = nullptr;
    QCheckBox* check3_ = nullptr;
    QCheckBox* check6_ = nullptr;
    QCheckBox* check4_ = nullptr;
    QRadioButton* option10_ = nullptr;
    QRadioButton* option11_ = nullptr;
    std::array<NumberBox*, 3> numbers_{};
    QCheckBox* check7_ = nullptr;
    std::array<QRadioButton*, kColorTargetCount> targets_{};
    std::array<QToolButton*, kPaletteSize> boxes_{};
    QCheckBox* check5_ = nullptr;
    QGroupBox* faceFrame_ = nullptr;
    QListWidget* list1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QCheckBox* chLog_ = nullptr;
    QLineEdit* txtFile_ = nullptr;
    QLineEdit* txtMusic_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    QRadioButton* opFull_ = nullptr;
    QRadioButton* opSong_ = nullptr;
    QRadioButton* opAs_ = nullptr;
    QRadioButton* opAp_ = nullptr;
    QComboBox* device_ = nullptr;
    QComboBox* buffer_ = nullptr;
    QLabel* latency_ = nullptr;
    QLabel* underruns_ = nullptr;
    QCheckBox* limiter_ = nullptr;
};

}  // namespace corvane::options
