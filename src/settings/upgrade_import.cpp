#include "settings/upgrade_import.h"

#include <QList>
#include <utility>

#include "settings/ini.h"
#include "settings/keys.h"
#include "settings/settings.h"

namespace corvane {

namespace {

// The keys 1.30 knew, in the order they are imported, with 1.30's own defaults.
QList<std::pair<QString, QString>> ImportedKeys(const QString& appFolder) {
    QList<std::pair<QString, QString>> keys{
        {keys::kBackColor, QStringLiteral("0")},
        {keys::kFadeSeconds, QStringLiteral("5")},
        {keys::kFadeSpeed, QStringLiteral("25")},
        {keys::kHiliteColor, QStringLiteral("255")},
        {keys::kLedColor, QStringLiteral("65535")},
        {keys::kLineColor, QStringLiteral("4210752")},
        {keys::kListPath, appFolder},
        {keys::kNoRep, QStringLiteral("10")},
        {keys::kPath, appFolder},
        {keys::kPlayList, QString()},
        {keys::kPriority, QStringLiteral("300")},
        {keys::kRandom, QStringLiteral("True")},
        {keys::kRemain, QStringLiteral("True")},
        {keys::kSpinUp, QStringLiteral("5")},
        {keys::kStatHelp, QStringLiteral("1")},
        {keys::kTextColor, QStringLiteral("14737632")},
        {keys::kToolTips, QStringLiteral("True")},
    };
    for (int line = 0; line <= 7; ++line) {
        keys.append({keys::SliderKey(line), QStringLiteral("80")});
        if (line <= 6) keys.append({keys::FadeModeKey(line), QStringLiteral("1")});
        if (line >= 1 && line <= 6) keys.append({keys::FileKey(line), QString()});
    }
    return keys;
}

}  // namespace

UpgradeResult UpgradeImport(Settings& settings, IniFiles& ini, const QString& appFolder,
                            const std::function<bool()>& askImport) {
    const QString old = keys::kPreviousSection;
    if (settings.GetPrefIn(old, keys::kPath, QString()).isEmpty())
        return UpgradeResult::NothingToImport;
    if (!askImport()) {
        settings.DeleteSection(old);
        return UpgradeResult::Declined;
    }
    QList<IniWrite> writes;
    for (const auto& [key, def] : ImportedKeys(appFolder)) {
        writes.append(IniWrite{keys::kSection, key, settings.GetPrefIn(old, key, def)});
    }
    // All or nothing: a failed write keeps the old section, so the next start offers it again.
    if (!ini.WriteIni(writes, settings.File())) return UpgradeResult::Failed;
    settings.DeleteSection(old);
    return UpgradeResult::Imported;
}

}  // namespace corvane
