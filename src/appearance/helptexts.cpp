#include "appearance/helptexts.h"

#include "version.h"

namespace corvane::appearance {

namespace {

struct HelpEntry {
    const char* toolTip;
    const char* status;
};

// Indexed by HelpTarget.
constexpr HelpEntry kEntries[kHelpTargetCount] = {
    {"Play", "Plays file"},
    {"Stop", "Stops playback"},
    {"Open a sound file for play", "Opens a file"},
    {"Loop the file endlessly", "Sets line to Loop mode"},
    {"When Green, sets the line to Always On, regardless of the Crossfader.",
     "Sets line to Always On"},
    {"When Red, sets line to Left side of Crossfader.", "Sets line to Left side of Crossfader"},
    {"When Red, sets line to Right side of Crossfader.", "Sets line to Right side of Crossfader"},
    {"Pans the line from Right to Left.", "Pans line Left to Right"},
    {"Mutes the line while holding the Left Mouse Button. Right Click to keep muted.",
     "Mutes Line"},
    {"Sets Volume on line.", "Adjusts Volume"},
    {"Crossfades the lines set to Left and lines set to Right.",
     "Crossfades lines set to Left and Right"},
    {"AutoFades to the Left.", "AutoFades to the Left"},
    {"AutoFades to the Right.", "AutoFades to the Right"},
    {"Plays Playlist / Skips to Next Song", ""},
    {"Click Once to stop after Current Song, twice to stop Now.", ""},
    {"Changes Next Song in Playlist.", ""},
    {"Playlist Editor", "Opens the Playlist Editor"},
    {"Stops all players", "Stops all players currently playing"},
    {"Show Microphone Level Control", "Shows the Microphone Level control"},
    {"About CVN " CORVANE_VERSION, "Show the About Box and Credits"},
    {"Shows Logging", "Shows the Played Songs log"},
    {"SmartRandom", "Puts AutoPilot in SmartRandom Mode"},
    {"Exits CVN", "Exits Corvane"},
    {"Help", "Shows the Help file"},
    {"Options Dialog", "Opens the Options Dialog"},
    {"Click or drag to move the song there. Right Click pauses and resumes "
     "(Ctrl+Shift+F1 to F6).",
     "Moves the song: click or drag; Right Click pauses"},
    {"", ""},
};

const HelpEntry& EntryFor(HelpTarget target) {
    const int index = static_cast<int>(target);
    return kEntries[index >= 0 && index < kHelpTargetCount ? index : kHelpTargetCount - 1];
}

}  // namespace

QString ToolTipText(HelpTarget target) { return QString::fromUtf8(EntryFor(target).toolTip); }

QString ToolTipFor(HelpTarget target, bool on) { return on ? ToolTipText(target) : QString(); }

QString StatusHelpText(HelpTarget target) { return QString::fromUtf8(EntryFor(target).status); }

}  // namespace corvane::appearance
