#pragma once

#include <Qt>
#include <map>

namespace corvane::engine {

// What a key on the main window does to the desk.
enum class DeskAction {
    None,
    AutoFadeLeft,     // numeric pad 4 down
    AutoFadeRight,    // numeric pad 6 down
    StopFade,         // numeric pad 4 or 6 up: the fade runs only while the key is held
    ResetCrossfader,  // numeric pad 5 down
    MasterUp,         // numeric pad 8 down (repeats while held)
    MasterDown,       // numeric pad 2 down (repeats while held)
    SaveMaster,       // numeric pad 8 or 2 up
    MuteMasterDown,   // Space down
    MuteMasterUp,     // Space up
    StopAll,          // F12 down
    LineArm,          // F1..F6 down: the line's Play or Stop button is drawn pressed
    LineToggle,       // F1..F6 up: stop the line if it plays, else play it
    OpenArm,          // Shift+F1..F6 down: the line's Open button is drawn pressed
    OpenLine,         // Shift+F1..F6 up: the line's open dialog
    PauseLine,        // Ctrl+Shift+F1..F6 down: pause the line, or resume it
    CueToggle,        // Ctrl+F1..F6 down: pre-listen on the line, on or off
    APlayDown,        // 1
    APlayUp,
    ANextDown,  // 2
    ANextUp,
    AStopDown,  // 3
    AStopUp,
};

struct KeyAction {
    DeskAction action = DeskAction::None;
    int line = 0;  // for LineArm, LineToggle, OpenArm, OpenLine, PauseLine, CueToggle: 1 to 6

    bool operator==(const KeyAction&) const = default;
};

// Maps the main window's key events to desk actions. It remembers what each press meant, so a
// release acts on what its press armed (Shift let go before F3 still opens) and a release
// without a press does nothing. Auto-repeated events do nothing, except that the master
// volume keys keep stepping while held.
class KeyMap {
public:
    KeyAction Press(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat);
    KeyAction Release(int key, bool autoRepeat);
    // Forget held keys, e.g. when the window loses focus.
    void Clear() { held_.clear(); }
    // True while a numeric pad 4 or 6 is held: the running auto-fade is the key's.
    bool FadeKeyHeld() const;

    // The action of a press by key and modifiers alone, without any memory.
    static KeyAction PressAction(int key, Qt::KeyboardModifiers modifiers);
    // The release that ends a press's action.
    static KeyAction ReleaseAction(const KeyAction& press);

private:
    std::map<int, KeyAction> held_;
};

}  // namespace corvane::engine
