// RealAudio metafile: either an absolute local path or an error, never a network address.
#include "audio/ram_metafile.h"
#include "fuzz_check.h"
#include "playlist/entry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text = corvane::fuzz::Bytes(data, size);
    QString error;
    const QString path =
        corvane::audio::LocalStreamOfRam(text, QStringLiteral("/music/ram folder"), &error);
    FUZZ_CHECK(path.isEmpty() != error.isEmpty());
    if (path.isEmpty()) return 0;
    FUZZ_CHECK(path.startsWith(QLatin1Char('/')));
    FUZZ_CHECK(!corvane::entry::IsNetworkUrl(path));
    return 0;
}
