#pragma once

#include <QString>
#include <concepts>
#include <functional>

#include "settings/convert.h"
#include "settings/ini.h"
#include "settings/keys.h"

namespace corvane {

// The per-user settings: one INI file, section "1.40", keys matched without regard to case.
// Every value is read from the file when asked for (the file stays parsed in IniFiles' cache)
// and written the moment it is saved. main() creates the one instance and hands it on.
class Settings {
public:
    // Defaults made of folders use this installation's folders.
    Settings(IniFiles& ini, QString file);
    Settings(IniFiles& ini, QString file, keys::DefaultFolders folders);

    // The stored value, or def when the key is missing or holds empty text.
    QString GetPref(const QString& key, const QString& def) const;
    // The same from another section of the settings file (the previous version's import).
    QString GetPrefIn(const QString& section, const QString& key, const QString& def) const;

    // Store the text form of the value: Booleans as "True"/"False", numbers as decimal text.
    // False when the file could not be written (the old file is then intact) or the value is
    // not a finite number or holds a control character (a line break, say).
    bool SavePref(const QString& key, const QString& value);
    template <std::same_as<bool> B>
    bool SavePref(const QString& key, B value) {
        return SavePref(key, BoolToText(value));
    }
    template <std::integral T>
    requires(!std::same_as<T, bool>) bool SavePref(const QString& key, T value) {
        return SavePref(key, QString::number(value));
    }
    template <std::floating_point T>
    bool SavePref(const QString& key, T value) {
        return SaveDouble(key, double(value));
    }

    // The key's default from the table of keys; "LastTextLog" follows the stored "LogFile".
    QString Default(const QString& key) const;
    // Whether the key holds a value (not missing, not empty): keys without a default, such as
    // window positions, are tested with this first.
    bool Has(const QString& key) const;
    // Typed readers. A value that is missing, empty or does not convert gives the default.
    QString GetText(const QString& key) const;
    bool GetBool(const QString& key) const;
    int GetInt(const QString& key) const;
    double GetDouble(const QString& key) const;

    // Told "Couldn't save settings: <reason>." when a write to the file fails (a full disk, a
    // read-only folder), and again only after a write has succeeded in between; every later
    // change is still tried.
    void SetWriteFailureNotice(std::function<void(const QString& message)> notice) {
        failureNotice_ = std::move(notice);
    }

    // Removes a whole section of the settings file. True when it no longer holds it.
    bool DeleteSection(const QString& section);

    const QString& File() const { return file_; }
    // The INI access the settings go through, for other files kept the same way (the song log).
    IniFiles& Ini() const { return ini_; }

private:
    bool SaveDouble(const QString& key, double value);
    template <typename T, typename Convert>
    T Typed(const QString& key, Convert convert) const;

    void NoteWrite(const IniWriteReport& report);

    IniFiles& ini_;
    QString file_;
    keys::DefaultFolders folders_;
    std::function<void(const QString&)> failureNotice_;
    bool failureReported_ = false;
};

}  // namespace corvane
