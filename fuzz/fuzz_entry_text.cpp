// file:// URIs and entry paths: a decoded URI reads back from the URI we write for it, and
// cleaning a path is final and never makes it longer.
#include "fuzz_check.h"
#include "playlist/entry_text.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QByteArrayView trimmed = entry::TrimBlanks(bytes);
    FUZZ_CHECK(trimmed.size() <= bytes.size());

    QString path;
    if (entry::DecodeFileUri(bytes, path)) {
        FUZZ_CHECK(!path.isEmpty() && path.size() <= bytes.size());
        // A drive path ("file:///C:/…") stays a Windows path rather than a URI. An escaped NUL
        // is refused; raw ones never reach the decoder (no text file holds one).
        if (!bytes.contains('\0') && !entry::IsWindowsPath(QStringView(path))) {
            FUZZ_CHECK(!path.contains(QChar(0)));
            const QString uri = entry::ToFileUri(path);
            FUZZ_CHECK(entry::IsFileUri(QStringView(uri)) && !entry::IsNetworkUrl(uri));
            QString again;
            FUZZ_CHECK(entry::DecodeFileUri(uri.toUtf8(), again) && again == path);
        }
    }

    const QString text = QString::fromUtf8(bytes);
    QString cleaned = text;
    entry::CleanSegments(cleaned);
    FUZZ_CHECK(cleaned.size() <= text.size());
    // A rooted path (the only kind the reader cleans) keeps no "", "." or ".." segment; a
    // relative one may keep leading "..".
    if (cleaned.size() > 1 && cleaned.startsWith(QLatin1Char('/')))
        FUZZ_CHECK(!entry::NeedsCleaning(cleaned, 1));
    QString twice = cleaned;
    entry::CleanSegments(twice);
    FUZZ_CHECK(twice == cleaned);

    const QString name = entry::FileNameOf(text);
    FUZZ_CHECK(name.size() <= text.size() && text.endsWith(name));
    (void)entry::IsForeignEntry(text);
    return 0;
}
