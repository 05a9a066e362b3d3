#pragma once

namespace corvane::about {

// The About box's credits: a tall text that scrolls up by itself while the box is the active
// window and can be dragged with the mouse. Positions are the text's top in twips, relative to
// its frame.
class CreditsScroll {
public:
    static constexpr int kWrapTop = -4800;  // scrolled this far up, the text starts again...
    static constexpr int kEntryTop = 1800;  // ...from here, below the frame's visible part
    static constexpr int kStep = 15;        // one pixel per tick
    static constexpr int kIntervalMs = 55;

    int Top() const { return top_; }
    // Whether the scrolling timer runs.
    bool Running() const { return running_; }

    void Activate() { running_ = true; }
    void Deactivate() { running_ = false; }
    void Tick();
    // The left button takes hold at y (twips, in the text's own coordinates) and drags.
    void Press(double y);
    // False when the move would take the text beyond its limits (it stays where it is).
    bool Drag(double y);
    void Release() { running_ = true; }

private:
    int top_ = 0;
    int grab_ = 0;
    bool running_ = false;
};

}  // namespace corvane::about
