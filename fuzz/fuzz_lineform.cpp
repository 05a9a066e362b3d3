// Line-form playlists (.m3u, .m3u8, .cvn): load, save, load again gives the same list, in
// both path styles; never more entries than lines.
#include "fuzz_check.h"
#include "playlist/lineform.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const qsizetype lines = bytes.count('\n') + 1;
    const struct {
        PathStyle style;
        QString directory;
    } forms[] = {{PathStyle::Unix, QStringLiteral("/music/lists/")},
                 {PathStyle::Windows, QStringLiteral("C:\\Music\\Lists\\")}};
    for (const auto& form : forms) {
        const QStringList songs = ParseLineForm(bytes, form.directory, form.style);
        FUZZ_CHECK(songs.size() <= lines);
        QByteArray saved;
        if (!FormatLineForm(songs, form.directory, form.style, {}, saved)) continue;
        FUZZ_CHECK(ParseLineForm(saved, form.directory, form.style) == songs);
    }
    return 0;
}
