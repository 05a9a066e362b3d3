// The INI module. The input is three short texts (section, key, value of a write, each ended
// by a lone backslash) and then the file. Every section and key named in the file is read; the
// document's text survives a parse of its own output; a write reads back as written (trimmed)
// and leaves the other keys alone, and a refused write leaves the file as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <QList>
#include <QStringList>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "settings/ini.h"
#include "settings/ini_document.h"

using namespace corvane;

namespace {

constexpr int kMaxNames = 48;

struct Names {
    QStringList sections{QString()};
    QStringList keys;
};

// The section and key names the text shows, found by a scan of our own.
Names NamesIn(const QString& text) {
    Names names;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            if (close > 0 && names.sections.size() < kMaxNames)
                names.sections.append(line.sliced(1, close - 1).toString());
        } else if (const qsizetype equals = line.indexOf(u'='); equals > 0) {
            if (names.keys.size() < kMaxNames) names.keys.append(line.first(equals).toString());
        }
    }
    return names;
}

using Snapshot = std::vector<std::vector<std::pair<QString, QString>>>;

Snapshot KeysOf(const IniDocument& doc, const QStringList& sections) {
    Snapshot all;
    for (const QString& section : sections) {
        all.push_back(doc.Keys(section));
        // Each key once, with the value a lookup gives.
        const auto& keys = all.back();
        for (size_t i = 0; i < keys.size(); ++i) {
            FUZZ_CHECK(doc.Value(section, keys[i].first) == keys[i].second);
            for (size_t j = 0; j < i; ++j) FUZZ_CHECK(keys[j].first != keys[i].first);
        }
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const QString section = QString::fromStdString(input.ConsumeRandomLengthString(64));
    const QString key = QString::fromStdString(input.ConsumeRandomLengthString(64));
    const QString value = QString::fromStdString(input.ConsumeRandomLengthString(256));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray bytes(rest.data(), qsizetype(rest.size()));

    const IniDocument doc = IniDocument::Parse(bytes);
    const QByteArray text = doc.Serialize();
    FUZZ_CHECK(IniDocument::Parse(text).Serialize() == text);
    const IniDocument clean = doc.WithoutDamage();
    // Open: a line starting with U+FEFF that repair moves to the top is read as the file's
    // mark (doc/RELIABILITY.md).
    if (!bytes.contains("\xEF\xBB\xBF"))
        FUZZ_CHECK(!IniDocument::Parse(clean.Serialize()).Damaged());

    const Names names = NamesIn(QString::fromUtf8(text));
    for (const QString& s : names.sections) {
        (void)doc.HasSection(s);
        for (const QString& k : names.keys) (void)doc.Value(s, k);
    }
    const Snapshot before = KeysOf(doc, names.sections);

    const bool writable = IniDocument::CanWrite(section, key, value);
    if (writable) {
        IniDocument written = doc;
        written.Set(section, key, value);
        const IniDocument reread = IniDocument::Parse(written.Serialize());
        FUZZ_CHECK(reread.Value(section.trimmed(), key.trimmed()) == value.trimmed());
        // Every other key keeps its value.
        for (size_t i = 0; i < before.size(); ++i) {
            const bool sameSection = names.sections[qsizetype(i)].trimmed().compare(
                                         section.trimmed(), Qt::CaseInsensitive) == 0;
            for (const auto& [k, v] : before[i]) {
                if (sameSection && k.compare(key.trimmed(), Qt::CaseInsensitive) == 0) continue;
                FUZZ_CHECK(reread.Value(names.sections[qsizetype(i)], k) == v);
            }
        }
    }

    // The same through the file cache, as the program reads and writes.
    IniFiles ini;
    const QString file = fuzz::WriteScratch(QStringLiteral("fuzz.ini"), bytes);
    for (const QString& s : names.sections) {
        QList<IniKeyValue> keys;
        if (ini.ReadSection(s, file, keys))
            for (const IniKeyValue& kv : keys) FUZZ_CHECK(ini.ReadIni(s, kv.key, file) == kv.value);
    }
    const bool wrote = ini.WriteIni({IniWrite{section, key, value}}, file);
    FUZZ_CHECK(wrote == writable);
    if (wrote) {
        FUZZ_CHECK(ini.ReadIni(section.trimmed(), key.trimmed(), file) == value.trimmed());
    } else {
        QFile after(file);
        FUZZ_CHECK(after.open(QIODevice::ReadOnly) && after.readAll() == bytes);
    }
    return 0;
}
