// INI-form playlists (.pls): load, save, load again gives the same list, in both path styles;
// never more entries than lines.
#include "fuzz_check.h"
#include "playlist/plsform.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const qsizetype lines = bytes.count('\n') + 1;
    (void)ParsePlsCount(QString::fromUtf8(bytes.left(64)));
    FUZZ_CHECK(PlsFileKeyIndex(bytes.left(32)) >= 0);
    const struct {
        PathStyle style;
        QString directory;
    } forms[] = {{PathStyle::Unix, QStringLiteral("/music/lists/")},
                 {PathStyle::Windows, QStringLiteral("C:\\Music\\Lists\\")}};
    for (const auto& form : forms) {
        QStringList songs;
        if (!ParsePls(bytes, form.directory, form.style, {}, songs)) continue;
        FUZZ_CHECK(songs.size() <= lines);
        QByteArray saved;
        if (!FormatPls(songs, form.directory, form.style, {}, saved)) continue;
        QStringList again;
        FUZZ_CHECK(ParsePls(saved, form.directory, form.style, {}, again));
        FUZZ_CHECK(again == songs);
    }
    return 0;
}
