#pragma once

#include <QList>
#include <QString>
#include <memory>

namespace corvane {

// One key to write, for writing several keys with one rewrite of the file.
struct IniWrite {
    QString section;
    QString key;
    QString value;
};

// What a write did: whether the file was rewritten (a write that changes nothing leaves it),
// and why not when that failed.
struct IniWriteReport {
    bool written = false;
    QString error;
};

// One key of a section as ReadSection lists it.
struct IniKeyValue {
    QString key;  // lower-cased
    QString value;
};

// INI files: sections in brackets, key=value lines, names compared without regard to case,
// the first match wins, lines we do not understand are kept as they are. Parsed files are
// cached and refreshed when the file on disk changes (size, modification time, inode), so
// reading many keys from one file parses it once. Every write replaces the file atomically.
// One instance is created in main() and handed to whoever reads or writes INI files.
class IniFiles {
public:
    IniFiles();
    ~IniFiles();
    IniFiles(const IniFiles&) = delete;
    IniFiles& operator=(const IniFiles&) = delete;

    // The key's value, whole; empty text for a missing key, section or file.
    QString ReadIni(const QString& section, const QString& key, const QString& file);
    // Every key of the section with the value ReadIni gives for it, in file order, each name
    // once: one parse for readers of many keys. False when the file or the section is missing.
    bool ReadSection(const QString& section, const QString& file, QList<IniKeyValue>& keys);
    // Writes one key, creating file, section and key as needed. False when the file could not
    // be written; the old file is then untouched.
    bool WriteIni(const QString& section, const QString& key, const QString& value,
                  const QString& file);
    // Writes all the keys with one rewrite of the file: all of them or, on failure, none.
    // Names and values are trimmed. A write fails, and writes nothing, when it could not be
    // read back as written: an empty name, a section name with ']', a key name with '=' or
    // starting with '[', ';' or '#', a line break or other control character (but tab)
    // anywhere, or a line over 64 KiB.
    bool WriteIni(const QList<IniWrite>& writes, const QString& file,
                  IniWriteReport* report = nullptr);
    // Removes a whole section. True when the file no longer holds it.
    bool DeleteSection(const QString& section, const QString& file);

    // For a file that must never lose what a person could still recover from it (the
    // settings): the first rewrite after it was found damaged keeps it as it was in
    // "<file>.bak" and writes only the lines that could be read. Other files keep unread lines.
    void RepairWithBackup(const QString& file);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace corvane
