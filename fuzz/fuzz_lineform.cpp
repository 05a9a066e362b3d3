// Line-form playlists (.m3u, .m3u8, .cvn): load, save, load again gives the same list; never
// more entries than lines. The native path style only: it is the one the program runs with.
#include "fuzz_check.h"
#include "playlist/entry_text.h"
#include "playlist/lineform.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    // The loader refuses a file with NUL bytes before it parses: no text holds one.
    if (bytes.contains('\0')) return 0;
    const QString directory = QStringLiteral("/music/lists/");
    const QStringList songs = ParseLineForm(bytes, directory, kNativePathStyle);
    FUZZ_CHECK(songs.size() <= bytes.count('\n') + 1);
    // Open: a Windows path (from a file URI) ending in a blank is kept as written and loses
    // the blank (doc/RELIABILITY.md).
    for (const QString& song : songs)
        if (entry::IsWindowsPath(QStringView(song)) && song != song.trimmed()) return 0;
    QByteArray saved;
    if (!FormatLineForm(songs, directory, kNativePathStyle, {}, saved)) return 0;
    FUZZ_CHECK(ParseLineForm(saved, directory, kNativePathStyle) == songs);
    return 0;
}
