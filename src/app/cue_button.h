#pragma once

#include <QSvgRenderer>
#include <QWidget>
#include <array>

namespace corvane::audio {
class Engine;
}

namespace corvane::app {

class LineStrip;

// A line's pre-listen switch: a headphones picture, lit while the line is heard on the
// headphones. A left press toggles it.
class CueButton : public QWidget {
    Q_OBJECT

public:
    explicit CueButton(int line, QWidget* parent = nullptr);

    int Line() const { return line_; }
    void SetLit(bool lit);
    bool IsLit() const { return lit_; }
    // Its tooltip, shown only while the "ToolTips" setting is on.
    void ShowToolTip(bool on);
    QSize sizeHint() const override;

Q_SIGNALS:
    void Pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const int line_;
    bool lit_ = false;
    QSvgRenderer litPicture_{QStringLiteral(":/pictures/cue_r.svg")};
    QSvgRenderer unlitPicture_{QStringLiteral(":/pictures/cue_w.svg")};
};

// The cue buttons of lines 0 to 6 on their strips (beside the pan knob), switching the
// engine's cue; Ctrl+F1 to Ctrl+F6 come in through Toggle.
class CueButtons : public QObject {
    Q_OBJECT

public:
    CueButtons(audio::Engine& engine, const std::array<LineStrip*, 8>& strips,
               QObject* parent = nullptr);
    void Toggle(int line);
    CueButton* Button(int line) const;
    void SetToolTips(bool on);

private:
    audio::Engine& engine_;
    std::array<CueButton*, 7> buttons_{};
};

}  // namespace corvane::app
