#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QTimer>
#include <memory>

class QLabel;
class QShortcut;

namespace corvane {
class Settings;
}
namespace corvane::audio {
class Engine;
}
namespace corvane::record {
class Recorder;
}

namespace corvane::app {

class MainForm;

// The master's record button: our own picture, lit while recording.
class RecordButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit RecordButton(QWidget* parent = nullptr);
    void SetLit(bool lit);
    bool Lit() const { return lit_; }
    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool lit_ = false;
};

// Recording from the main window: the record button with the elapsed time and file size
// beside it on the master strip, Ctrl+R, the messages, and the repair of a recording a crash
// cut short (at start). The folder and format come from the settings at each start.
class RecordWiring : public QObject {
    Q_OBJECT

public:
    static constexpr int kBlinkMs = 500;

    RecordWiring(MainForm& form, audio::Engine& engine, Settings& settings);
    ~RecordWiring() override;

    // Starts recording, or stops the recording under way.
    void Toggle();
    void SetToolTips(bool on);
    record::Recorder& Recorder() const { return *recorder_; }
    RecordButton* Button() const { return button_; }
    QLabel* Elapsed() const { return elapsed_; }
    QLabel* Size() const { return size_; }

private:
    void Refresh();
    void Stopped(const QString& path, const QString& error);
    void RepairInterrupted();

    MainForm& form_;
    Settings& settings_;
    std::unique_ptr<record::Recorder> recorder_;
    RecordButton* button_;
    QLabel* elapsed_;
    QLabel* size_;
    QShortcut* shortcut_;
    QTimer blink_;
    bool blinkOn_ = false;
};

// "1:02:03" for the elapsed time, "12.3 MB" for the size.
QString ElapsedText(double seconds);
QString SizeText(long long bytes);

}  // namespace corvane::app
