#pragma once

#include <QColor>
#include <QWidget>

class QCheckBox;

namespace corvane {
class Settings;
}

namespace corvane::appearance {
class MiniSlider;
}

namespace corvane::mixer {

class SystemMixer;

// The small "Mic" window: one slider for the microphone's volume and an "On Top" box. It is
// made when opened and deleted when closed; the slider's level lives on in the SystemMixer,
// the window's place and on-top choice in the settings.
class MicLevel : public QWidget {
    Q_OBJECT

public:
    MicLevel(SystemMixer& mixer, Settings& settings, QWidget* parent = nullptr);
    // Saves the window's place when the program ends with the window open.
    ~MicLevel() override;

    // Places the window ("Mic Top"/"Mic Left", centred by default), sets the slider to the
    // microphone's current level without writing it, and applies "MicOnTop".
    void Load();
    // Window and box in the scheme's "Back Color", the box's caption in "Text Color".
    void Colors(const QColor& back, const QColor& text);

    appearance::MiniSlider* MicSlider() const { return micSlider_; }
    QCheckBox* Check1() const { return check1_; }

Q_SIGNALS:
    // The user closed the window; it is deleted next.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void PlaceWindow();
    void SavePosition();
    void Check1Click(bool checked);

    SystemMixer& mixer_;
    Settings& settings_;
    appearance::MiniSlider* micSlider_;
    QCheckBox* check1_;
    bool loaded_ = false;
};

}  // namespace corvane::mixer
