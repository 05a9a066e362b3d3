#include "settings/ini_document.h"

#include <QStringDecoder>
#include <algorithm>

namespace corvane {

namespace {

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

QString DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) return QString::fromLatin1(bytes);
    return text;
}

// The name between the brackets of a section line, or a null string for any other line.
QString SectionName(QStringView line) {
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(u'[')) return {};
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0) return {};
    QString name = trimmed.mid(1, close - 1).trimmed().toString();
    if (name.isNull()) name = QLatin1String("");
    return name;
}

bool IsComment(QStringView line) {
    const QStringView trimmed = line.trimmed();
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

bool HasLineBreak(const QString& text) { return text.contains(u'\n') || text.contains(u'\r'); }

}  // namespace

IniDocument IniDocument::Parse(const QByteArray& bytes) {
    IniDocument doc;
    doc.blocks_.emplace_back();
    doc.bom_ = bytes.startsWith(kBom);
    const QString text = DecodeText(doc.bom_ ? bytes.mid(kBom.size()) : bytes);
    const qsizetype firstBreak = text.indexOf(u'\n');
    doc.crlf_ = firstBreak > 0 && text.at(firstBreak - 1) == u'\r';

    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0) end = text.size();
        // In a file of LF lines a stray CR stays part of its line, so it is written back.
        if (doc.crlf_ && end > start && text.at(end - 1) == u'\r') --end;
        doc.AddLine(text.mid(start, end - start));
        start = next;
    }
    return doc;
}

void IniDocument::AddLine(const QString& text) {
    Line line{text, -1};
    if (text.size() <= kMaxLineLength && !IsComment(text)) {
        const QString section = SectionName(text);
        if (!section.isNull()) {
            Block block;
            block.header = text;
            block.hasHeader = true;
            block.lowerName = section.toLower();
            sections_[block.lowerName].blocks.push_back(int(blocks_.size()));
            blocks_.push_back(std::move(block));
            return;
        }
        const qsizetype equals = text.indexOf(u'=');
        if (equals > 0 && !QStringView(text).left(equals).trimmed().isEmpty()) line.equals = equals;
    }
    Block& block = blocks_.back();
    block.lines.push_back(std::move(line));
    if (block.hasHeader && block.lines.back().equals >= 0) {
        const int blockIndex = int(blocks_.size()) - 1;
        IndexKey(block.lowerName, blockIndex, int(block.lines.size()) - 1);
    }
}

void IniDocument::IndexKey(const QString& lowerSection, int block, int line) {
    const Line& l = blocks_[size_t(block)].lines[size_t(line)];
    const QString key = QStringView(l.text).left(l.equals).trimmed().toString().toLower();
    // First match wins: a later duplicate of the key is kept in the file but never read.
    QHash<QString, KeyRef>& keys = sections_[lowerSection].keys;
    if (!keys.contains(key)) keys.insert(key, KeyRef{block, line});
}

QByteArray IniDocument::Serialize() const {
    const QLatin1String eol = crlf_ ? QLatin1String("\r\n") : QLatin1String("\n");
    qsizetype length = 0;
    for (const Block& block : blocks_) {
        if (block.removed) continue;
        length += block.header.size() + eol.size();
        for (const Line& line : block.lines) length += line.text.size() + eol.size();
    }
    QString text;
    text.reserve(length);
    for (const Block& block : blocks_) {
        if (block.removed) continue;
        if (block.hasHeader) text.append(block.header).append(eol);
        for (const Line& line : block.lines) text.append(line.text).append(eol);
    }
    return bom_ ? kBom + text.toUtf8() : text.toUtf8();
}

QString IniDocument::Value(const QString& section, const QString& key) const {
    const auto s = sections_.constFind(section.trimmed().toLower());
    if (s == sections_.cend()) return {};
    const auto k = s->keys.constFind(key.trimmed().toLower());
    if (k == s->keys.cend()) return {};
    return ValueOf(blocks_[size_t(k->block)].lines[size_t(k->line)]);
}

QString IniDocument::ValueOf(const Line& line) {
    QString value = QStringView(line.text).mid(line.equals + 1).trimmed().toString();
    if (value.isNull()) value = QLatin1String("");
    return value;
}

std::vector<std::pair<QString, QString>> IniDocument::Keys(const QString& section) const {
    std::vector<std::pair<QString, QString>> keys;
    const auto s = sections_.constFind(section.trimmed().toLower());
    if (s == sections_.cend()) return keys;
    std::vector<std::pair<KeyRef, QString>> refs;
    refs.reserve(size_t(s->keys.size()));
    for (auto k = s->keys.cbegin(); k != s->keys.cend(); ++k) refs.emplace_back(k.value(), k.key());
    std::sort(refs.begin(), refs.end(), [](const auto& a, const auto& b) {
        return a.first.block != b.first.block ? a.first.block < b.first.block
                                              : a.first.line < b.first.line;
    });
    keys.reserve(refs.size());
    for (const auto& [ref, name] : refs) {
        keys.emplace_back(name, ValueOf(blocks_[size_t(ref.block)].lines[size_t(ref.line)]));
    }
    return keys;
}

bool IniDocument::HasSection(const QString& section) const {
    return sections_.contains(section.trimmed().toLower());
}

bool IniDocument::Set(const QString& section, const QString& key, const QString& value) {
    const QString name = key.trimmed();
    const QString lowerSection = section.trimmed().toLower();
    SectionIndex& index = sections_[lowerSection];
    const auto found = index.keys.constFind(name.toLower());
    if (found != index.keys.cend()) {
        Line& line = blocks_[size_t(found->block)].lines[size_t(found->line)];
        // Keep the key's spelling as the file has it.
        const QString existing = QStringView(line.text).left(line.equals).trimmed().toString();
        const QString text = existing + u'=' + value.trimmed();
        if (text == line.text) return false;
        line.text = text;
        line.equals = existing.size();
        return true;
    }
    if (index.blocks.empty()) {
        Block block;
        block.header = u'[' + section.trimmed() + u']';
        block.hasHeader = true;
        block.lowerName = lowerSection;
        blocks_.push_back(std::move(block));
        index.blocks.push_back(int(blocks_.size()) - 1);
    }
    // After the section's last key, so blank lines and comments that lead into the next
    // section stay where they are. Only non-key lines move, and those are not indexed.
    const int blockIndex = index.blocks.front();
    std::vector<Line>& lines = blocks_[size_t(blockIndex)].lines;
    auto at = lines.end();
    while (at != lines.begin() && std::prev(at)->equals < 0) --at;
    at = lines.insert(at, Line{name + u'=' + value.trimmed(), name.size()});
    IndexKey(lowerSection, blockIndex, int(at - lines.begin()));
    return true;
}

bool IniDocument::RemoveSection(const QString& section) {
    const auto found = sections_.find(section.trimmed().toLower());
    if (found == sections_.end()) return false;
    for (int b : found->blocks) {
        blocks_[size_t(b)].removed = true;
        blocks_[size_t(b)].lines = {};
    }
    sections_.erase(found);
    return true;
}

bool IniDocument::CanWrite(const QString& section, const QString& key, const QString& value) {
    const QString s = section.trimmed();
    const QString k = key.trimmed();
    return !s.isEmpty() && !s.contains(u']') && !HasLineBreak(s) &&
           s.size() + 2 <= kMaxLineLength && !k.isEmpty() && !k.contains(u'=') &&
           !k.startsWith(u'[') && !IsComment(k) && !HasLineBreak(k) && !HasLineBreak(value) &&
           k.size() + 1 + value.trimmed().size() <= kMaxLineLength;
}

}  // namespace corvane
