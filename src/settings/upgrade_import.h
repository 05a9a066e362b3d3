#pragma once

#include <QString>
#include <functional>

#include "version.h"

namespace corvane {

class IniFiles;
class Settings;

// The previous version's settings, section "1.30" of the same settings file.
enum class UpgradeResult {
    NothingToImport,  // no "Path" in the old section: nothing was asked
    Declined,         // the user said No: the old section is gone
    Imported,         // the old values are in "1.40" and the old section is gone
    Failed,           // the new values could not be written: both sections as they were
};

inline constexpr char kUpgradeTitle[] = "Upgrade";
inline constexpr char kUpgradeQuestion[] =
    "CVN has detected that you are upgrading from version 1.30. Do you want to import your "
    "settings?";
inline constexpr char kUpgradeDone[] =
    "Your old settings have successfully been imported. I am sure you will be pleased with this "
    "upgrade. See help file for more details about new features in version " CORVANE_VERSION;

// Asks whether to import (askImport returns true for Yes) and copies the known keys of "1.30"
// into "1.40", each missing one as the old version's default, in one rewrite of the file.
// The old section is deleted whichever way the user answers, so the question never returns.
UpgradeResult UpgradeImport(Settings& settings, IniFiles& ini, const QString& appFolder,
                            const std::function<bool()>& askImport);

}  // namespace corvane
