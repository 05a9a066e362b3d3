#include "engine/key_map.h"

namespace corvane::engine {

namespace {

constexpr Qt::KeyboardModifiers kChordModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

KeyAction KeypadAction(int key) {
    switch (key) {
        case Qt::Key_4:
            return {DeskAction::AutoFadeLeft};
        case Qt::Key_6:
            return {DeskAction::AutoFadeRight};
        case Qt::Key_5:
            return {DeskAction::ResetCrossfader};
        case Qt::Key_8:
            return {DeskAction::MasterUp};
        case Qt::Key_2:
            return {DeskAction::MasterDown};
        default:
            return {};
    }
}

KeyAction FunctionKeyAction(int key, Qt::KeyboardModifiers chord) {
    if (key == Qt::Key_F12)
        return chord == Qt::NoModifier ? KeyAction{DeskAction::StopAll} : KeyAction{};
    if (key < Qt::Key_F1 || key > Qt::Key_F6) return {};
    const int line = key - Qt::Key_F1 + 1;
    if (chord == Qt::NoModifier) return {DeskAction::LineArm, line};
    if (chord == Qt::ShiftModifier) return {DeskAction::OpenArm, line};
    if (chord == (Qt::ShiftModifier | Qt::ControlModifier)) return {DeskAction::PauseLine, line};
    if (chord == Qt::ControlModifier) return {DeskAction::CueToggle, line};
    return {};
}

}  // namespace

KeyAction KeyMap::PressAction(int key, Qt::KeyboardModifiers modifiers) {
    // Qt tells the numeric pad's digits from the main row's by the keypad modifier only.
    if (modifiers.testFlag(Qt::KeypadModifier)) return KeypadAction(key);
    switch (key) {
        case Qt::Key_Space:
            return {DeskAction::MuteMasterDown};
        case Qt::Key_1:
            return {DeskAction::APlayDown};
        case Qt::Key_2:
            return {DeskAction::ANextDown};
        case Qt::Key_3:
            return {DeskAction::AStopDown};
        default:
            return FunctionKeyAction(key, modifiers & kChordModifiers);
    }
}

KeyAction KeyMap::ReleaseAction(const KeyAction& press) {
    switch (press.action) {
        case DeskAction::AutoFadeLeft:
        case DeskAction::AutoFadeRight:
            return {DeskAction::StopFade};
        case DeskAction::MasterUp:
        case DeskAction::MasterDown:
            return {DeskAction::SaveMaster};
        case DeskAction::MuteMasterDown:
            return {DeskAction::MuteMasterUp};
        case DeskAction::LineArm:
            return {DeskAction::LineToggle, press.line};
        case DeskAction::OpenArm:
            return {DeskAction::OpenLine, press.line};
        case DeskAction::APlayDown:
            return {DeskAction::APlayUp};
        case DeskAction::ANextDown:
            return {DeskAction::ANextUp};
        case DeskAction::AStopDown:
            return {DeskAction::AStopUp};
        default:
            return {};
    }
}

KeyAction KeyMap::Press(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) {
    if (autoRepeat) {
        const auto it = held_.find(key);
        if (it == held_.end()) return {};
        const DeskAction held = it->second.action;
        return held == DeskAction::MasterUp || held == DeskAction::MasterDown ? it->second
                                                                              : KeyAction{};
    }
    const KeyAction action = PressAction(key, modifiers);
    if (action.action == DeskAction::None) {
        held_.erase(key);
    } else {
        held_[key] = action;
    }
    return action;
}

bool KeyMap::FadeKeyHeld() const {
    for (const auto& [key, press] : held_) {
        if (press.action == DeskAction::AutoFadeLeft || press.action == DeskAction::AutoFadeRight)
            return true;
    }
    return false;
}

KeyAction KeyMap::Release(int key, bool autoRepeat) {
    if (autoRepeat) return {};
    const auto it = held_.find(key);
    if (it == held_.end()) return {};
    const KeyAction press = it->second;
    held_.erase(it);
    return ReleaseAction(press);
}

}  // namespace corvane::engine
