#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <utility>
#include <vector>

namespace corvane {

// A section or key name as a hash key that ignores case. Built from a view for lookups, so a
// lookup allocates nothing; stored names own their text. The hash is kept, so that probing a
// large table compares hashes and rarely has to touch the names' text.
struct CaseBlindName {
    CaseBlindName() = default;
    explicit CaseBlindName(QString name);
    static CaseBlindName View(QStringView name) {
        return CaseBlindName(QString::fromRawData(name.data(), name.size()));
    }

    QString text;
    size_t hash = 0;
};
bool operator==(const CaseBlindName& a, const CaseBlindName& b);
size_t qHash(const CaseBlindName& name, size_t seed = 0);

// One INI file in memory. Lines are kept in file order exactly as read, so a rewrite changes
// only the lines that were written; lookups go through a hash of lower-cased names. A section
// that appears more than once is one section: its keys are looked up across every occurrence,
// the first match winning, and new keys go to its first occurrence.
class IniDocument {
public:
    // Lines longer than this are kept in the file but not read as sections or keys.
    static constexpr qsizetype kMaxLineLength = 64 * 1024;

    // Text is taken as UTF-8 when it is valid UTF-8, else as Latin-1.
    static IniDocument Parse(const QByteArray& bytes);
    // UTF-8, every line ended with the file's own line ending (LF for a new file).
    QByteArray Serialize() const;

    // Whether the file held text that is not UTF-8 or lines that are no section, key, comment
    // or blank line (binary junk, a half-written line).
    bool Damaged() const { return damaged_; }
    // The same document without the lines that could not be read.
    IniDocument WithoutDamage() const;

    // The value of the key, trimmed; a null QString when the section or key is missing.
    QString Value(const QString& section, const QString& key) const;
    bool HasSection(const QString& section) const;
    // Each key of the section once, lower-cased, with its Value(), in file order.
    std::vector<std::pair<QString, QString>> Keys(const QString& section) const;

    // The names and value must pass CanWrite. False when the key already held that value.
    bool Set(const QString& section, const QString& key, const QString& value);
    // Removes every occurrence of the section. False when there was none.
    bool RemoveSection(const QString& section);

    // Whether the key would be read back from the written file as written: names that are
    // not empty and cannot be mistaken for other lines, no line breaks or other control
    // characters but tab, no overlong line.
    static bool CanWrite(const QString& section, const QString& key, const QString& value);

private:
    // A line as read is a span of text_, so parsing a large file allocates next to nothing;
    // a line we wrote holds its own text.
    struct Line {
        qsizetype start = 0;
        qsizetype length = 0;
        QString own;            // null for a line as read
        qsizetype equals = -1;  // position of '=' on a key line, -1 on any other line
    };
    struct Block {
        QString header;    // the section's own line as read; empty for the lines before any
        int section = -1;  // index into sections_, -1 for the lines before any section
        bool removed = false;
        std::vector<Line> lines;
    };
    struct KeyRef {
        int block = -1;  // -1 until the key is indexed
        int line = 0;
    };
    struct SectionIndex {
        std::vector<int> blocks;
        QHash<CaseBlindName, KeyRef> keys;
    };

    QStringView TextOf(const Line& line) const {
        return line.own.isNull() ? QStringView(text_).mid(line.start, line.length)
                                 : QStringView(line.own);
    }
    QString ValueOf(const Line& line) const;
    void AddLine(qsizetype start, qsizetype length);
    QByteArray SerializeLines(bool keepUnread) const;
    void IndexKey(int section, int block, int line);
    // The section's index, or -1; Add also makes a new one.
    int FindSection(QStringView name) const;
    int AddSection(const QString& name);

    // The file's text as read. Never changed once parsed: the lines and key names as read
    // point into it.
    QString text_;
    std::vector<Block> blocks_;
    std::vector<SectionIndex> sections_;
    QHash<CaseBlindName, int> sectionNames_;
    bool crlf_ = false;
    bool bom_ = false;
    bool damaged_ = false;
};

}  // namespace corvane
