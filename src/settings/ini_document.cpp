#include "settings/ini_document.h"

#include <QStringDecoder>
#include <algorithm>

namespace corvane {

namespace {

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

QString DecodeText(const QByteArray& bytes, bool* notUtf8) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    *notUtf8 = utf8.hasError();
    if (*notUtf8) return QString::fromLatin1(bytes);
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

bool HasControlCharacter(QStringView line) {
    return std::any_of(line.begin(), line.end(),
                       [](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\r'; });
}

// Whether a line other than a section's is one a writer of ours or a person could have meant.
bool IsReadable(QStringView line, qsizetype equals) {
    if (line.size() > IniDocument::kMaxLineLength || HasControlCharacter(line)) return false;
    return equals >= 0 || line.trimmed().isEmpty() || IsComment(line);
}

}  // namespace

// The hash is FNV-1a over the case-folded name. Only units that fold to ASCII are hashed: any pair
// of names that compare equal ignoring case yields the same ASCII units in the same places (a
// non-ASCII letter such as the Kelvin sign folds to its ASCII twin), so equal names hash alike, and
// the usual all-ASCII names are hashed in full.
CaseBlindName::CaseBlindName(QString name) : text(std::move(name)) {
    quint64 h = 14695981039346656037ULL;
    for (const QChar c : std::as_const(text)) {
        char16_t unit = c.unicode();
        if (unit >= u'A' && unit <= u'Z') {
            unit = char16_t(unit + 32);
        } else if (unit >= 0x80) {
            unit = c.toCaseFolded().unicode();
            if (unit >= 0x80) unit = 0x80;
        }
        h = (h ^ unit) * 1099511628211ULL;
    }
    hash = size_t(h ^ (h >> 32));
}

size_t qHash(const CaseBlindName& name, size_t seed) { return name.hash ^ seed; }

bool operator==(const CaseBlindName& a, const CaseBlindName& b) {
    const qsizetype size = a.text.size();
    if (a.hash != b.hash || size != b.text.size()) return false;
    const QChar* x = a.text.constData();  // not utf16(), which copies a view's text
    const QChar* y = b.text.constData();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t p = x[i].unicode();
        const char16_t q = y[i].unicode();
        if (p == q) continue;
        if (p >= 0x80 || q >= 0x80) return a.text.compare(b.text, Qt::CaseInsensitive) == 0;
        const char16_t lower = p | 0x20;
        if (lower != (q | 0x20) || lower < u'a' || lower > u'z') return false;
    }
    return true;
}

IniDocument IniDocument::Parse(const QByteArray& bytes) {
    IniDocument doc;
    doc.blocks_.emplace_back();
    doc.bom_ = bytes.startsWith(kBom);
    doc.text_ = DecodeText(doc.bom_ ? bytes.mid(kBom.size()) : bytes, &doc.damaged_);
    const QString& text = doc.text_;
    const qsizetype firstBreak = text.indexOf(u'\n');
    doc.crlf_ = firstBreak > 0 && text.at(firstBreak - 1) == u'\r';

    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0) end = text.size();
        // In a file of LF lines a stray CR stays part of its line, so it is written back.
        if (doc.crlf_ && end > start && text.at(end - 1) == u'\r') --end;
        doc.AddLine(start, end - start);
        start = next;
    }
    return doc;
}

void IniDocument::AddLine(qsizetype start, qsizetype length) {
    Line line{start, length, QString(), -1};
    const QStringView text = QStringView(text_).mid(start, length);
    if (length <= kMaxLineLength && !IsComment(text)) {
        const QString section = SectionName(text);
        if (!section.isNull()) {
            Block block;
            block.header = text.toString();
            block.section = FindSection(section);
            if (block.section < 0) block.section = AddSection(section);
            sections_[size_t(block.section)].blocks.push_back(int(blocks_.size()));
            blocks_.push_back(std::move(block));
            return;
        }
        const qsizetype equals = text.indexOf(u'=');
        if (equals > 0 && !text.left(equals).trimmed().isEmpty()) line.equals = equals;
    }
    if (!IsReadable(text, line.equals)) damaged_ = true;
    Block& block = blocks_.back();
    block.lines.push_back(std::move(line));
    if (block.section >= 0 && block.lines.back().equals >= 0)
        IndexKey(block.section, int(blocks_.size()) - 1, int(block.lines.size()) - 1);
}

int IniDocument::FindSection(QStringView name) const {
    return sectionNames_.value(CaseBlindName::View(name.trimmed()), -1);
}

int IniDocument::AddSection(const QString& name) {
    sections_.emplace_back();
    const int index = int(sections_.size()) - 1;
    sectionNames_.insert(CaseBlindName{name}, index);
    return index;
}

void IniDocument::IndexKey(int section, int block, int line) {
    const Line& l = blocks_[size_t(block)].lines[size_t(line)];
    // A name as read stays a view of text_; only a name we added owns its text.
    const QStringView name = TextOf(l).left(l.equals).trimmed();
    CaseBlindName key = l.own.isNull() ? CaseBlindName::View(name) : CaseBlindName(name.toString());
    // First match wins: a later duplicate of the key is kept in the file but never read.
    KeyRef& ref = sections_[size_t(section)].keys[std::move(key)];
    if (ref.block < 0) ref = KeyRef{block, line};
}

QByteArray IniDocument::Serialize() const { return SerializeLines(true); }

IniDocument IniDocument::WithoutDamage() const {
    IniDocument doc = Parse(SerializeLines(false));
    doc.crlf_ = crlf_;
    return doc;
}

QByteArray IniDocument::SerializeLines(bool keepUnread) const {
    const QLatin1String eol = crlf_ ? QLatin1String("\r\n") : QLatin1String("\n");
    qsizetype length = 0;
    for (const Block& block : blocks_) {
        if (block.removed) continue;
        length += block.header.size() + eol.size();
        for (const Line& line : block.lines) length += TextOf(line).size() + eol.size();
    }
    QString text;
    text.reserve(length);
    for (const Block& block : blocks_) {
        if (block.removed) continue;
        if (block.section >= 0) text.append(block.header).append(eol);
        for (const Line& line : block.lines) {
            if (keepUnread || IsReadable(TextOf(line), line.equals))
                text.append(TextOf(line)).append(eol);
        }
    }
    return bom_ ? kBom + text.toUtf8() : text.toUtf8();
}

QString IniDocument::Value(const QString& section, const QString& key) const {
    const int s = FindSection(section);
    if (s < 0) return {};
    const QHash<CaseBlindName, KeyRef>& keys = sections_[size_t(s)].keys;
    const auto k = keys.constFind(CaseBlindName::View(QStringView(key).trimmed()));
    if (k == keys.cend()) return {};
    return ValueOf(blocks_[size_t(k->block)].lines[size_t(k->line)]);
}

QString IniDocument::ValueOf(const Line& line) const {
    QString value = TextOf(line).mid(line.equals + 1).trimmed().toString();
    if (value.isNull()) value = QLatin1String("");
    return value;
}

std::vector<std::pair<QString, QString>> IniDocument::Keys(const QString& section) const {
    std::vector<std::pair<QString, QString>> keys;
    const int s = FindSection(section);
    if (s < 0) return keys;
    std::vector<std::pair<KeyRef, QString>> refs;
    refs.reserve(size_t(sections_[size_t(s)].keys.size()));
    for (auto k = sections_[size_t(s)].keys.cbegin(); k != sections_[size_t(s)].keys.cend(); ++k)
        refs.emplace_back(k.value(), k.key().text.toLower());
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

bool IniDocument::HasSection(const QString& section) const { return FindSection(section) >= 0; }

bool IniDocument::Set(const QString& section, const QString& key, const QString& value) {
    const QString name = key.trimmed();
    int s = FindSection(section);
    if (s < 0) {
        s = AddSection(section.trimmed());
        Block block;
        block.header = u'[' + section.trimmed() + u']';
        block.section = s;
        sections_[size_t(s)].blocks.push_back(int(blocks_.size()));
        blocks_.push_back(std::move(block));
    }
    SectionIndex& index = sections_[size_t(s)];
    const auto found = index.keys.constFind(CaseBlindName::View(name));
    if (found != index.keys.cend()) {
        Line& line = blocks_[size_t(found->block)].lines[size_t(found->line)];
        // Keep the key's spelling as the file has it.
        const QStringView existing = TextOf(line).left(line.equals).trimmed();
        QString text = existing.toString() + u'=' + value.trimmed();
        if (text == TextOf(line)) return false;
        line.equals = existing.size();
        line.own = std::move(text);
        return true;
    }
    // After the section's last key, so blank lines and comments that lead into the next
    // section stay where they are. Only non-key lines move, and those are not indexed.
    const int blockIndex = index.blocks.front();
    std::vector<Line>& lines = blocks_[size_t(blockIndex)].lines;
    auto at = lines.end();
    while (at != lines.begin() && std::prev(at)->equals < 0) --at;
    at = lines.insert(at, Line{0, 0, name + u'=' + value.trimmed(), name.size()});
    IndexKey(s, blockIndex, int(at - lines.begin()));
    return true;
}

bool IniDocument::RemoveSection(const QString& section) {
    const auto found = sectionNames_.find(CaseBlindName::View(QStringView(section).trimmed()));
    if (found == sectionNames_.end()) return false;
    SectionIndex& index = sections_[size_t(found.value())];
    for (int b : index.blocks) {
        blocks_[size_t(b)].removed = true;
        blocks_[size_t(b)].lines = {};
    }
    index = {};  // the slot stays, unused, so the other sections keep their numbers
    sectionNames_.erase(found);
    return true;
}

bool IniDocument::CanWrite(const QString& section, const QString& key, const QString& value) {
    const QString s = section.trimmed();
    const QString k = key.trimmed();
    // A control character would make the line one that the next read takes for damage.
    return !s.isEmpty() && !s.contains(u']') && !HasLineBreak(s) && !HasControlCharacter(s) &&
           s.size() + 2 <= kMaxLineLength && !k.isEmpty() && !k.contains(u'=') &&
           !k.startsWith(u'[') && !IsComment(k) && !HasLineBreak(k) && !HasControlCharacter(k) &&
           !HasLineBreak(value) && !HasControlCharacter(value) &&
           k.size() + 1 + value.trimmed().size() <= kMaxLineLength;
}

}  // namespace corvane
