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
        FUZZ_CHECK(!path.isEmpty() && !path.contains(QChar(0)));
        FUZZ_CHECK(path.size() <= bytes.size());
        const QString uri = entry::ToFileUri(path);
        FUZZ_CHECK(entry::IsFileUri(QStringView(uri)) && !entry::IsNetworkUrl(uri));
        QString again;
        FUZZ_CHECK(entry::DecodeFileUri(uri.toUtf8(), again));
        FUZZ_CHECK(again == path);
    }

    const QString text = QString::fromUtf8(bytes);
    QString cleaned = text;
    entry::CleanSegments(cleaned);
    FUZZ_CHECK(cleaned.size() <= text.size());
    if (!cleaned.isEmpty() && cleaned != QStringLiteral("/"))
        FUZZ_CHECK(!entry::NeedsCleaning(cleaned, cleaned.startsWith(QLatin1Char('/')) ? 1 : 0));
    QString twice = cleaned;
    entry::CleanSegments(twice);
    FUZZ_CHECK(twice == cleaned);

    const QString name = entry::FileNameOf(text);
    FUZZ_CHECK(name.size() <= text.size() && text.endsWith(name));
    (void)entry::IsForeignEntry(text);
    return 0;
}
