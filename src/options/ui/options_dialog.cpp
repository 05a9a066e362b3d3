#include "options/ui/options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "appearance/face.h"
#include "options/ui/broadcast_section.h"
#include "options/ui/headphone_section.h"
#include "options/ui/record_section.h"
#include "settings/keys.h"
#include "settings/settings.h"
#include "songlog/songlog.h"

namespace corvane::options {

namespace {

constexpr int kUnderrunRefreshMs = 1000;
constexpr int kBoxSize = 20;

template <typename W>
W* Named(W* widget, const char* name, const char* hint = nullptr) {
    widget->setObjectName(QLatin1String(name));
    if (hint != nullptr) widget->setToolTip(QLatin1String(hint));
    return widget;
}

QCheckBox* Check(const char* name, const char* caption, const char* hint = nullptr) {
    return Named(new QCheckBox(QLatin1String(caption)), name, hint);
}

QRadioButton* Radio(const char* name, const char* caption, const char* hint = nullptr) {
    return Named(new QRadioButton(QLatin1String(caption)), name, hint);
}

// A frame holding its widgets one below the other; radio buttons in it exclude each other.
QGroupBox* Frame(const char* caption, std::initializer_list<QWidget*> widgets) {
    auto* frame = new QGroupBox(QLatin1String(caption));
    auto* column = new QVBoxLayout(frame);
    for (QWidget* widget : widgets) column->addWidget(widget);
    column->addStretch();
    return frame;
}

// "Spin up Drive:" [field] "Seconds" as one row of the grid.
void FieldRow(QGridLayout* grid, int row, const char* caption, NumberBox* box, const char* unit,
              const char* hint) {
    box->setToolTip(QLatin1String(hint));
    grid->addWidget(new QLabel(QLatin1String(caption)), row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(new QLabel(QLatin1String(unit)), row, 2);
}

}  // namespace

ChooseLogFile StandardLogFileChooser() {
    return [](QWidget* parent, const QString& current) {
        // The chooser asks before overwriting by itself; it has no read-only option to hide.
        return QFileDialog::getSaveFileName(parent, QLatin1String(Options::kBrowseTitle), current,
                                            QStringLiteral("Log File (*.log);;All Files (*)"));
    };
}

NumberBox::NumberBox(const NumberField& field, QWidget* parent) : QSpinBox(parent), field_(field) {
    setRange(field.min, field.max);
    // The value (and so the setting) changes by the arrows or when the field is left.
    setKeyboardTracking(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State NumberBox::validate(QString& text, int&) const {
    static const QRegularExpression number(QStringLiteral("^\\s*-?\\d*\\s*$"));
    if (!number.match(text).hasMatch()) return QValidator::Invalid;
    bool ok = false;
    text.trimmed().toLongLong(&ok);
    return ok ? QValidator::Acceptable : QValidator::Intermediate;
}

int NumberBox::valueFromText(const QString& text) const { return ClampField(field_, text); }

Options::Options(Settings& settings, OptionsHost& host, ChooseLogFile chooseLogFile, bool allTabs,
                 QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      host_(host),
      chooseLogFile_(chooseLogFile ? std::move(chooseLogFile) : StandardLogFileChooser()),
      allTabs_(allTabs) {
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(QLatin1String(kTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    tabs_ = Named(new QTabWidget, "SSTab1");
    // The dialog grows to show every caption whole, at any font and scale.
    tabs_->setUsesScrollButtons(false);
    tabs_->setElideMode(Qt::ElideNone);
    tabs_->addTab(BuildGeneral(), QStringLiteral("&General"));
    tabs_->addTab(BuildAutoPilot(), QStringLiteral("&AutoPilot"));
    tabs_->addTab(BuildColors(), QStringLiteral("&Colors"));
    tabs_->addTab(BuildFaces(), QStringLiteral("&Faces"));
    tabs_->addTab(BuildLogging(), QStringLiteral("&Logging"));
    tabs_->addTab(BuildAudio(), QStringLiteral("&Audio"));
    auto* command1 = Named(new QPushButton(QStringLiteral("&Ok")), "Command1");
    connect(command1, &QPushButton::clicked, this, &Options::close);
    auto* column = new QVBoxLayout(this);
    column->addWidget(tabs_);
    column->addWidget(command1, 0, Qt::AlignRight);
    underrunTimer_.setInterval(kUnderrunRefreshMs);
    connect(&underrunTimer_, &QTimer::timeout, this, &Options::RefreshUnderruns);
    FormLoad();
}

Options::~Options() = default;

void Options::closeEvent(QCloseEvent* event) {
    StoreLogFile();  // closed while the field still had the focus
    underrunTimer_.stop();
    Q_EMIT Closed();
    QDialog::closeEvent(event);
}

QWidget* Options::BuildGeneral() {
    check1_ = Check("Check1", "Auto Sto&p",
                    "Sets whether the CrossFader stops player(s) that have faded out");
    check2_ = Check("Check2", "Aut&o Reset",
                    "Sets whether the CrossFader snaps to the middle after AutoFade");
    const char* speedHint = "Sets the speed of AutoFade";
    speeds_ = {Radio("Option6", "&Slow", speedHint), Radio("Option7", "&Medium", speedHint),
               Radio("Option8", "&Fast", speedHint)};
    check3_ = Check("Check3", "&Remain Time",
                    "Sets whether the LED Displays show Remain or Elapsed time");
    check6_ =
        Check("Check6", "Status Help", "Shows a description of each control in the Status Window");
    check4_ = Check("Check4", "ToolTips", "Sets whether ToolTips (like this one) are displayed");
    option10_ = Radio("Option10", "High", "Sets CPU Priority");
    option11_ = Radio("Option11", "Low", "Sets CPU Priority");

    connect(check1_, &QCheckBox::clicked, this, &Options::Check1Click);
    connect(check2_, &QCheckBox::clicked, this, [this] {
        StoreCheck(check2_, keys::kAutoReset);
        if (ready_) host_.SetAutoReset(check2_->isChecked());
    });
    speedGroup_ = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        speedGroup_->addButton(speeds_[i]);
        connect(speeds_[i], &QRadioButton::clicked, this, [this, i] { SpeedClick(i); });
    }
    connect(check3_, &QCheckBox::clicked, this, [this] {
        StoreCheck(check3_, keys::kRemain);
        if (ready_) host_.SetRemain(check3_->isChecked());
    });
    connect(check6_, &QCheckBox::clicked, this, &Options::Check6Click);
    connect(check4_, &QCheckBox::clicked, this, &Options::Check4Click);
    connect(option10_, &QRadioButton::clicked, this, [this] { PriorityClick(true); });
    connect(option11_, &QRadioButton::clicked, this, [this] { PriorityClick(false); });

    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(Frame("CrossFader", {check1_, check2_, speeds_[0], speeds_[1], speeds_[2]}), 0,
                    0, 2, 1);
    grid->addWidget(Frame("Display", {check3_, check6_, check4_}), 0, 1);
    grid->addWidget(Frame("Priority", {option10_, option11_}), 1, 1);
    return page;
}

QWidget* Options::BuildAutoPilot() {
    numbers_ = {Named(new NumberBox(kSpinUpField), "Text1"),
                Named(new NumberBox(kNoRepField), "Text2"),
                Named(new NumberBox(kFadeSecondsField), "Text3")};
    auto* frame = new QGroupBox(QStringLiteral("Random"));
    auto* grid = new QGridLayout(frame);
    FieldRow(grid, 0, "Spin up Drive:", numbers_[0], "Seconds",
             "Sets the time that drive is accessed before a song is played");
    FieldRow(grid, 1, "No Repeats Until:", numbers_[1], "Songs",
             "Sets how many songs must play before a song is repeated");
    FieldRow(grid, 2, "Cross Fade Songs:", numbers_[2], "Seconds",
             "Sets how many seconds the songs fade in a Playlist");
    for (NumberBox* box : numbers_) {
        connect(box, &QSpinBox::valueChanged, this,
                [this, box](int value) { NumberChanged(box, value); });
    }
    // Songs whose files have moved are looked for by name here and in the playlist's folder.
    txtMusic_ = Named(new QLineEdit, "txtMusic");
    txtMusic_->setToolTip(QStringLiteral("Missing songs are looked for by name in this folder"));
    auto* cmdMusic = Named(new QPushButton(QStringLiteral("Browse")), "cmdMusic");
    connect(txtMusic_, &QLineEdit::editingFinished, this, &Options::MusicFolderChanged);
    connect(cmdMusic, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(
            this, QStringLiteral("Choose the Music Folder"), txtMusic_->text());
        if (chosen.isEmpty()) return;
        txtMusic_->setText(chosen);
        MusicFolderChanged();
    });
    auto* music = new QGroupBox(QStringLiteral("Missing Songs"));
    auto* row = new QHBoxLayout(music);
    row->addWidget(new QLabel(QStringLiteral("Music folder:")));
    row->addWidget(txtMusic_, 1);
    row->addWidget(cmdMusic);

    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->addWidget(frame);
    column->addWidget(music);
    column->addStretch();
    return page;
}

QWidget* Options::BuildColors() {
    check7_ = Check("Check7", "S&how Dividing Lines");
    connect(check7_, &QCheckBox::clicked, this, &Options::Check7Click);
    targets_ = {Radio("Option1", "LED Color", "Sets the color of the LED Time Displays"),
                Radio("Option2", "Text Color", "Sets the color of text labels"),
                Radio("Option3", "Back Color", "Sets the main window's background color"),
                Radio("Option4", "Line Color", "Sets the color of the dividing lines"),
                Radio("Option5", "Hilite Color", "Sets the hilight color")};
    for (int i = 0; i < kColorTargetCount; ++i) {
        connect(targets_[i], &QRadioButton::clicked, this,
                [this, i] { TargetClick(static_cast<ColorTarget>(i)); });
    }
    auto* palette = new QGroupBox(QStringLiteral("Colors"));
    auto* grid = new QGridLayout(palette);
    grid->setSpacing(3);
    for (int i = 0; i < kPaletteSize; ++i) {
        auto* box = new QToolButton;
        box->setObjectName(QStringLiteral("ColorBox%1").arg(i));
        box->setToolTip(QStringLiteral("Click on a color to set it"));
        box->setFixedSize(kBoxSize, kBoxSize);
        connect(box, &QToolButton::clicked, this, [this, i] { ColorBoxClick(i); });
        boxes_[i] = box;
        grid->addWidget(box, i / 8, i % 8);
    }
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    layout->addWidget(
        Frame("Item", {targets_[0], targets_[1], targets_[2], targets_[3], targets_[4]}), 0, 0);
    layout->addWidget(palette, 0, 1);
    layout->addWidget(check7_, 1, 0, 1, 2);
    return page;
}

QWidget* Options::BuildFaces() {
    check5_ = Check("Check5", "&Use Face");
    list1_ = Named(new QListWidget, "List1");
    command2_ = Named(new QPushButton(QStringLiteral("&Save Colors")), "Command2");
    faceFrame_ = Frame("", {list1_});
    connect(check5_, &QCheckBox::clicked, this, &Options::Check5Click);
    connect(list1_, &QListWidget::itemClicked, this, &Options::List1Click);
    connect(command2_, &QPushButton::clicked, this, [this] {
        if (ready_) host_.SaveColors(this);
    });
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->addWidget(check5_);
    column->addWidget(faceFrame_, 1);
    column->addWidget(command2_, 0, Qt::AlignLeft);
    return page;
}

QWidget* Options::BuildLogging() {
    chLog_ = Check("chLog", "Log Songs Played to File");
    txtFile_ = Named(new QLineEdit, "txtFile");
    cmdBrowse_ = Named(new QPushButton(QStringLiteral("Browse")), "cmdBrowse");
    opFull_ = Radio("opFull", "Log Full Path");
    opSong_ = Radio("opSong", "Filename Only");
    opAs_ = Radio("opAs", "All Songs");
    opAp_ = Radio("opAp", "AutoPilot Only");
    connect(chLog_, &QCheckBox::clicked, this, &Options::ChLogClick);
    // Not at every keystroke: a song logged meanwhile would go to a half-typed path.
    connect(txtFile_, &QLineEdit::editingFinished, this, &Options::StoreLogFile);
    connect(cmdBrowse_, &QPushButton::clicked, this, &Options::CmdBrowseClick);
    connect(opFull_, &QRadioButton::clicked, this,
            [this] { StoreLog(keys::kLogPath, &LogSettings::logPath, true); });
    connect(opSong_, &QRadioButton::clicked, this,
            [this] { StoreLog(keys::kLogPath, &LogSettings::logPath, false); });
    connect(opAs_, &QRadioButton::clicked, this,
            [this] { StoreLog(keys::kLogAll, &LogSettings::logAll, true); });
    connect(opAp_, &QRadioButton::clicked, this,
            [this] { StoreLog(keys::kLogAll, &LogSettings::logAll, false); });
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(chLog_, 0, 0, 1, 2);
    grid->addWidget(txtFile_, 1, 0);
    grid->addWidget(cmdBrowse_, 1, 1);
    grid->addWidget(Frame("Method", {opFull_, opSong_}), 2, 0);
    grid->addWidget(Frame("Songs", {opAs_, opAp_}), 2, 1);
    return page;
}

QWidget* Options::BuildAudio() {
    device_ = Named(new QComboBox, "AudioDevice", "Sets the sound card the program plays through");
    buffer_ = Named(new QComboBox, "AudioBuffer",
                    "Sets the size of the sound buffer: smaller reacts sooner, larger is safer");
    latency_ = Named(new QLabel, "Latency");
    underruns_ = Named(new QLabel, "Underruns");
    for (int frames : kBufferSizes) buffer_->addItem(QString::number(frames), frames);
    connect(device_, &QComboBox::activated, this, &Options::AudioChanged);
    connect(buffer_, &QComboBox::activated, this, &Options::AudioChanged);
    auto* frame = new QGroupBox(QStringLiteral("Output"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Device:")), 0, 0);
    grid->addWidget(device_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Buffer:")), 1, 0);
    grid->addWidget(buffer_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("frames")), 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Latency:")), 2, 0);
    grid->addWidget(latency_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Underruns since start:")), 3, 0);
    grid->addWidget(underruns_, 3, 1);
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->addWidget(frame);
    limiter_ = Check("Limiter", "&Master limiter (-1 dBFS)",
                     "Keeps the master below -1 dBFS, so loud lines together do not clip");
    connect(limiter_, &QCheckBox::clicked, this, &Options::LimiterClick);
    column->addWidget(limiter_);
    column->addWidget(new RecordSection(settings_, page));
    if (HeadphoneHost* phones = host_.Headphones()) {
        auto* section = new HeadphoneSection(settings_, *phones);
        // Channels 3-4 are offered for the main device as it is now.
        connect(this, &Options::AudioSwitched, section, &HeadphoneSection::Fill);
        column->addWidget(section);
    }
    column->addWidget(new BroadcastSection(settings_, page));
    column->addStretch();
    return page;
}

// The controls show the settings; none of their handlers runs meanwhile.
void Options::FormLoad() {
    ready_ = false;
    setEnabled(false);
    if (allTabs_) {
        command2_->setEnabled(settings_.GetBool(keys::kBackPic));
        FillFaces();
        check7_->setChecked(host_.LinesVisible());
        const bool backPic = settings_.GetBool(keys::kBackPic);
        check5_->setChecked(backPic);
        EnableFaces(backPic);
        targets_[0]->setChecked(true);
        target_ = ColorTarget::Led;
        MarkBox(PaletteIndexOf(host_.Colors().led));
        (host_.HighPriority() ? option10_ : option11_)->setChecked(true);
        check6_->setChecked(host_.StatusHelpShown());
        check4_->setChecked(settings_.GetBool(keys::kToolTips));
        check3_->setChecked(settings_.GetBool(keys::kRemain));
        check1_->setChecked(host_.AutoStop());
        check2_->setEnabled(check1_->isChecked());
        check2_->setChecked(host_.AutoReset());
        for (NumberBox* box : numbers_) box->setValue(settings_.GetInt(box->Field().key));
        txtMusic_->setText(settings_.GetText(keys::kMusicFolder));
        const int speed = FadeSpeedIndex(host_.FadeSpeed());
        // An exclusive group keeps one button on; unchecking all needs it briefly inclusive.
        speedGroup_->setExclusive(false);
        for (int i = 0; i < 3; ++i) speeds_[i]->setChecked(i == speed);
        speedGroup_->setExclusive(true);
        FillAudio();
    } else {
        for (int tab = 0; tab < tabs_->count(); ++tab) tabs_->setTabEnabled(tab, tab == LoggingTab);
        tabs_->setCurrentIndex(LoggingTab);
    }
    FillLogging();
    ready_ = true;
    setEnabled(true);
}

void Options::FillFaces() {
    list1_->clear();
    const QString face = settings_.GetText(keys::kFace);
    for (const QString& name : host_.FaceNames()) {
        list1_->addItem(name);
        if (name == face) list1_->setCurrentRow(list1_->count() - 1);
    }
}

void Options::MusicFolderChanged() {
    if (!ready_) return;
    const QString folder = txtMusic_->text().trimmed();
    if (folder == settings_.GetText(keys::kMusicFolder)) return;
    settings_.SavePref(keys::kMusicFolder, folder);
    host_.SetMusicFolder(folder);
}

void Options::FillLogging() {
    const LogSettings log = host_.LogOptions();
    chLog_->setChecked(log.logging);
    EnableLogging(log.logging);
    txtFile_->setText(log.logFile);
    (log.logPath ? opFull_ : opSong_)->setChecked(true);
    (log.logAll ? opAs_ : opAp_)->setChecked(true);
}

void Options::FillAudio() {
    device_->clear();
    device_->addItem(QStringLiteral("(Default)"), QString());
    for (const QString& name : host_.OutputDevices()) device_->addItem(name, name);
    const QString device = settings_.GetText(keys::kAudioDevice);
    int row = device_->findData(device);
    if (row < 0) {
        // A device that is not there now stays chosen until the user picks another.
        device_->addItem(device, device);
        row = device_->count() - 1;
    }
    device_->setCurrentIndex(row);
    const int frames = host_.AudioBufferFrames();
    int bufferRow = buffer_->findData(frames);
    if (bufferRow < 0) {
        buffer_->addItem(QString::number(frames), frames);
        bufferRow = buffer_->count() - 1;
    }
    buffer_->setCurrentIndex(bufferRow);
    latency_->setText(LatencyText(frames, host_.AudioRate()));
    limiter_->setChecked(settings_.GetBool(keys::kLimiter));
    RefreshUnderruns();
    underrunTimer_.start();
}

void Options::RefreshUnderruns() { underruns_->setText(QString::number(host_.Underruns())); }

}  // namespace corvane::options
