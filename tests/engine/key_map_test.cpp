#include "engine/key_map.h"

#include <gtest/gtest.h>

namespace corvane::engine {
namespace {

constexpr auto kNone = Qt::NoModifier;
constexpr auto kPad = Qt::KeypadModifier;

TEST(KeyMap, FunctionKeysToggleOnReleaseShiftOpensAndCtrlCues) {
    KeyMap keys;
    EXPECT_EQ(keys.Press(Qt::Key_F3, kNone, false), (KeyAction{DeskAction::LineArm, 3}));
    EXPECT_EQ(keys.Press(Qt::Key_F3, kNone, true), KeyAction{});  // held: no repeat
    EXPECT_EQ(keys.Release(Qt::Key_F3, true), KeyAction{});
    EXPECT_EQ(keys.Release(Qt::Key_F3, false), (KeyAction{DeskAction::LineToggle, 3}));
    EXPECT_EQ(keys.Release(Qt::Key_F3, false), KeyAction{});  // no press, no action

    EXPECT_EQ(keys.Press(Qt::Key_F6, Qt::ShiftModifier, false),
              (KeyAction{DeskAction::OpenArm, 6}));
    // Letting Shift go first still opens: the release ends what the press began.
    EXPECT_EQ(keys.Release(Qt::Key_F6, false), (KeyAction{DeskAction::OpenLine, 6}));

    // Ctrl toggles pre-listen on the press, once however long it is held.
    EXPECT_EQ(keys.Press(Qt::Key_F1, Qt::ControlModifier, false),
              (KeyAction{DeskAction::CueToggle, 1}));
    EXPECT_EQ(keys.Press(Qt::Key_F1, Qt::ControlModifier, true), KeyAction{});
    EXPECT_EQ(keys.Release(Qt::Key_F1, false), KeyAction{});
    EXPECT_EQ(keys.Press(Qt::Key_F1, Qt::AltModifier, false), KeyAction{});
    EXPECT_EQ(keys.Press(Qt::Key_F2, Qt::ShiftModifier | Qt::AltModifier, false), KeyAction{});
    // Ctrl+Shift pauses at once; its release does nothing more.
    EXPECT_EQ(keys.Press(Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier, false),
              (KeyAction{DeskAction::PauseLine, 2}));
    EXPECT_EQ(keys.Release(Qt::Key_F2, false), KeyAction{});
    EXPECT_EQ(keys.Press(Qt::Key_F7, kNone, false), KeyAction{});
    EXPECT_EQ(keys.Press(Qt::Key_F12, kNone, false), KeyAction{DeskAction::StopAll});
}

TEST(KeyMap, NumericPadIsToldFromTheMainRow) {
    KeyMap keys;
    EXPECT_EQ(keys.Press(Qt::Key_4, kPad, false), KeyAction{DeskAction::AutoFadeLeft});
    EXPECT_EQ(keys.Press(Qt::Key_4, kPad, true), KeyAction{});
    EXPECT_EQ(keys.Release(Qt::Key_4, false), KeyAction{DeskAction::StopFade});
    EXPECT_EQ(keys.Press(Qt::Key_6, kPad, false), KeyAction{DeskAction::AutoFadeRight});
    EXPECT_EQ(keys.Press(Qt::Key_5, kPad, false), KeyAction{DeskAction::ResetCrossfader});
    EXPECT_EQ(keys.Release(Qt::Key_5, false), KeyAction{});
    EXPECT_EQ(keys.Press(Qt::Key_4, kNone, false), KeyAction{});
    EXPECT_EQ(keys.Press(Qt::Key_2, kNone, false), KeyAction{DeskAction::ANextDown});
    EXPECT_EQ(keys.Release(Qt::Key_2, false), KeyAction{DeskAction::ANextUp});
    EXPECT_EQ(keys.Press(Qt::Key_1, kPad, false), KeyAction{});
    EXPECT_EQ(keys.Press(Qt::Key_3, kNone, false), KeyAction{DeskAction::AStopDown});
}

TEST(KeyMap, MasterKeysRepeatWhileHeldAndSaveOnRelease) {
    KeyMap keys;
    EXPECT_EQ(keys.Press(Qt::Key_8, kPad, false), KeyAction{DeskAction::MasterUp});
    EXPECT_EQ(keys.Press(Qt::Key_8, kPad, true), KeyAction{DeskAction::MasterUp});
    EXPECT_EQ(keys.Release(Qt::Key_8, false), KeyAction{DeskAction::SaveMaster});
    EXPECT_EQ(keys.Press(Qt::Key_2, kPad, false), KeyAction{DeskAction::MasterDown});
    keys.Clear();
    EXPECT_EQ(keys.Release(Qt::Key_2, false), KeyAction{});
    EXPECT_EQ(keys.Press(Qt::Key_Space, kNone, false), KeyAction{DeskAction::MuteMasterDown});
    EXPECT_EQ(keys.Press(Qt::Key_Space, kNone, true), KeyAction{});
    EXPECT_EQ(keys.Release(Qt::Key_Space, false), KeyAction{DeskAction::MuteMasterUp});
}

}  // namespace
}  // namespace corvane::engine
