#include "ombrel/color.h"

#include <array>
#include <optional>

namespace corvane::ombrel {

namespace {

struct SystemRole {
    std::optional<QPalette::ColorGroup> group;  // nullopt: the palette's current group
    QPalette::ColorRole role;
};

constexpr std::optional<QPalette::ColorGroup> kCurrent = std::nullopt;

// Indexed by the system colour number; the nearest palette role for each.
constexpr std::array<SystemRole, 31> kSystemRoles = {{
    {kCurrent, QPalette::Button},                     // 0 scroll bar
    {kCurrent, QPalette::Dark},                       // 1 desktop
    {QPalette::Active, QPalette::Highlight},          // 2 active title bar
    {QPalette::Inactive, QPalette::Highlight},        // 3 inactive title bar
    {kCurrent, QPalette::Window},                     // 4 menu bar
    {kCurrent, QPalette::Base},                       // 5 window background
    {kCurrent, QPalette::Shadow},                     // 6 window frame
    {kCurrent, QPalette::WindowText},                 // 7 menu text
    {kCurrent, QPalette::Text},                       // 8 window text
    {QPalette::Active, QPalette::HighlightedText},    // 9 active title bar text
    {kCurrent, QPalette::Window},                     // 10 active border
    {kCurrent, QPalette::Window},                     // 11 inactive border
    {kCurrent, QPalette::Dark},                       // 12 application workspace
    {kCurrent, QPalette::Highlight},                  // 13 highlight
    {kCurrent, QPalette::HighlightedText},            // 14 highlight text
    {kCurrent, QPalette::Button},                     // 15 button face
    {kCurrent, QPalette::Dark},                       // 16 button shadow
    {QPalette::Disabled, QPalette::Text},             // 17 grey text
    {kCurrent, QPalette::ButtonText},                 // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText},  // 19 inactive title bar text
    {kCurrent, QPalette::Light},                      // 20 3-D highlight
    {kCurrent, QPalette::Shadow},                     // 21 3-D dark shadow
    {kCurrent, QPalette::Midlight},                   // 22 3-D light
    {kCurrent, QPalette::ToolTipText},                // 23 tooltip text
    {kCurrent, QPalette::ToolTipBase},                // 24 tooltip background
    {kCurrent, QPalette::Button},                     // 25 (unassigned)
    {kCurrent, QPalette::Link},                       // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},          // 27 active title gradient
    {QPalette::Inactive, QPalette::Highlight},        // 28 inactive title gradient
    {kCurrent, QPalette::Highlight},                  // 29 menu highlight
    {kCurrent, QPalette::Window},                     // 30 flat menu bar
}};

std::optional<SystemRole> SystemRoleOf(quint32 value) {
    const quint32 index = value & ~kSystemColorFlag;
    if (index >= kSystemRoles.size()) {
        return std::nullopt;
    }
    return kSystemRoles[index];
}

}  // namespace

bool IsValidColorValue(quint32 value) {
    return (value & kSystemColorFlag) == 0 || SystemRoleOf(value).has_value();
}

QColor ToQColor(quint32 value, const QPalette& palette) {
    if ((value & kSystemColorFlag) == 0) {
        return QColor(int(value & 0xFFu), int((value >> 8) & 0xFFu), int((value >> 16) & 0xFFu));
    }
    const std::optional<SystemRole> system = SystemRoleOf(value);
    if (!system) {
        return {};
    }
    return system->group ? palette.color(*system->group, system->role)
                         : palette.color(system->role);
}

quint32 ToColorValue(const QColor& color) {
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

}  // namespace corvane::ombrel
