#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <utility>
#include <vector>

namespace corvane {

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
    // not empty and cannot be mistaken for other lines, no line breaks, no overlong line.
    static bool CanWrite(const QString& section, const QString& key, const QString& value);

private:
    struct Line {
        QString text;
        qsizetype equals = -1;  // position of '=' on a key line, -1 on any other line
    };
    struct Block {
        QString header;  // the section's own line as read; empty for the lines before any
        QString lowerName;
        bool hasHeader = false;
        bool removed = false;
        std::vector<Line> lines;
    };
    struct KeyRef {
        int block = 0;
        int line = 0;
    };
    struct SectionIndex {
        std::vector<int> blocks;
        QHash<QString, KeyRef> keys;  // lower-cased key name
    };

    static QString ValueOf(const Line& line);
    void AddLine(const QString& text);
    void IndexKey(const QString& lowerSection, int block, int line);

    std::vector<Block> blocks_;
    QHash<QString, SectionIndex> sections_;  // lower-cased section name
    bool crlf_ = false;
    bool bom_ = false;
};

}  // namespace corvane
