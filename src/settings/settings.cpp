#include "settings/settings.h"

#include <cmath>
#include <utility>

namespace corvane {

Settings::Settings(IniFiles& ini, QString file)
    : Settings(ini, std::move(file), keys::CurrentFolders()) {}

Settings::Settings(IniFiles& ini, QString file, keys::DefaultFolders folders)
    : ini_(ini), file_(std::move(file)), folders_(std::move(folders)) {}

QString Settings::GetPref(const QString& key, const QString& def) const {
    return GetPrefIn(keys::kSection, key, def);
}

QString Settings::GetPrefIn(const QString& section, const QString& key, const QString& def) const {
    const QString value = ini_.ReadIni(section, key, file_);
    return value.isEmpty() ? def : value;
}

bool Settings::SavePref(const QString& key, const QString& value) {
    IniWriteReport report;
    const bool saved = ini_.WriteIni({IniWrite{keys::kSection, key, value}}, file_, &report);
    NoteWrite(report);
    return saved;
}

void Settings::NoteWrite(const IniWriteReport& report) {
    if (report.written) failureReported_ = false;
    // A value refused before any writing (a line break in it) is no failure of the disk.
    if (report.error.isEmpty() || std::exchange(failureReported_, true)) return;
    if (failureNotice_)
        failureNotice_(QStringLiteral("Couldn't save settings: %1.").arg(report.error));
}

bool Settings::SaveDouble(const QString& key, double value) {
    return std::isfinite(value) && SavePref(key, DoubleToText(value));
}

QString Settings::Default(const QString& key) const {
    if (key.compare(keys::kLastTextLog, Qt::CaseInsensitive) == 0)
        return keys::TextLogFor(GetText(keys::kLogFile));
    return keys::DefaultFor(key, folders_);
}

bool Settings::Has(const QString& key) const {
    return !ini_.ReadIni(keys::kSection, key, file_).isEmpty();
}

QString Settings::GetText(const QString& key) const {
    const QString value = ini_.ReadIni(keys::kSection, key, file_);
    return value.isEmpty() ? Default(key) : value;
}

template <typename T, typename Convert>
T Settings::Typed(const QString& key, Convert convert) const {
    if (const auto value = convert(ini_.ReadIni(keys::kSection, key, file_))) return *value;
    return convert(Default(key)).value_or(T{});
}

bool Settings::GetBool(const QString& key) const { return Typed<bool>(key, TextToBool); }

int Settings::GetInt(const QString& key) const { return Typed<int>(key, TextToInt); }

double Settings::GetDouble(const QString& key) const { return Typed<double>(key, TextToDouble); }

bool Settings::DeleteSection(const QString& section) { return ini_.DeleteSection(section, file_); }

}  // namespace corvane
