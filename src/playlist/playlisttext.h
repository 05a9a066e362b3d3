#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <cstring>

#include "playlist/paths.h"

namespace corvane {

// Longer lines are skipped on reading: no path is that long, but the rest of the file is kept.
inline constexpr qsizetype kMaxLineBytes = 64 * 1024;

// The bytes of a playlist file, read as UTF-8 when they are valid UTF-8, else as Latin-1 (older
// 8-bit lists). Both file forms are read straight from these bytes, one line at a time.
class PlaylistText {
public:
    explicit PlaylistText(const QByteArray& data);

    // Calls `line(QByteArrayView)` for every line, without its CR LF or LF ending; a leading
    // byte-order mark is dropped.
    template <typename LineFn>
    void ForEachLine(LineFn&& line) const {
        const char* pos = data_.constData();
        const char* const end = pos + data_.size();
        if (utf8_ && data_.startsWith("\xEF\xBB\xBF")) pos += 3;
        while (pos < end) {
            const char* newline =
                static_cast<const char*>(std::memchr(pos, '\n', static_cast<size_t>(end - pos)));
            const char* lineEnd = newline ? newline : end;
            const char* next = newline ? newline + 1 : end;
            if (lineEnd > pos && lineEnd[-1] == '\r') --lineEnd;
            line(QByteArrayView(pos, lineEnd - pos));
            pos = next;
        }
    }

    QString Decode(QByteArrayView bytes) const;
    // A stored entry made into a song path (see ResolveEntry), decoded straight into its place.
    // False when the text is no entry: blank, or a file URI that names no local file.
    bool Entry(const QString& directory, QByteArrayView entry, PathStyle style,
               QString& path) const;

private:
    void AppendDecoded(QString& text, QByteArrayView bytes) const;

    const QByteArray& data_;
    bool ascii_;
    bool utf8_;
    mutable QStringDecoder decoder_;
};

// ASCII blanks around a key, a value or a section name.
QByteArrayView TrimmedBytes(QByteArrayView bytes);

}  // namespace corvane
