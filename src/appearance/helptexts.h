#pragma once

#include <QString>

namespace corvane::appearance {

// The main window's controls that carry a tooltip or a status-help text. A picture pair
// shares one entry (LoopW/LoopR, OnW/OnG, FadeLeftW/FadeLeftR, FadeRightW/FadeRightR).
enum class HelpTarget {
    PlayButt,
    StopButt,
    OpenW,
    Loop,
    AlwaysOn,
    FadeLeftButton,
    FadeRightButton,
    Pan,
    Mute,
    Slider,
    Crossfader,
    LeftFade,   // the "auto-fade left" label above the crossfader
    FadeRight,  // the "auto-fade right" label above the crossfader
    APlay,
    AStop,
    ANext,
    PList,
    StopAll,
    MicButt,
    Butt1,
    LogButt,
    ShuffButt,
    ExitButton,
    HelpButt,
    Options1,
    PositionBar,  // a line's position bar under its time display
    Background,
};

inline constexpr int kHelpTargetCount = static_cast<int>(HelpTarget::Background) + 1;

// The tooltip shown while tooltips are on; empty for targets without one.
QString ToolTipText(HelpTarget target);
// ToolTipText when `on`, else the empty text (what ToolsOff sets).
QString ToolTipFor(HelpTarget target, bool on);
// The status-help line's text on mouse-over; empty for the background (it clears the line)
// and for controls whose status text is dynamic.
QString StatusHelpText(HelpTarget target);

}  // namespace corvane::appearance
