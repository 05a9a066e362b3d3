// The single-instance message: whatever arrives, a complete message holds at most kMaxPaths
// absolute paths of bounded length and is exactly what serializing them gives back; the input
// read the other way, as paths, comes back unchanged when it can be sent at all.
#include "fuzz_check.h"
#include "remote/instance_message.h"

using namespace corvane;
using namespace corvane::remote;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > size_t(kMaxMessageBytes) + 16) return 0;
    const QByteArray bytes = fuzz::Bytes(data, size);

    const ParsedMessage parsed = ParseMessage(bytes);
    FUZZ_CHECK(parsed.status == ParseStatus::Complete || parsed.paths.isEmpty());
    if (parsed.status == ParseStatus::Complete) {
        FUZZ_CHECK(parsed.paths.size() <= kMaxPaths);
        for (const QString& path : parsed.paths) FUZZ_CHECK(IsSendablePath(path));
        FUZZ_CHECK(SerializeMessage(parsed.paths) == bytes);
    }
    // Every prefix of a complete message is incomplete, never invalid or complete.
    if (parsed.status == ParseStatus::Complete && !bytes.isEmpty())
        FUZZ_CHECK(ParseMessage(QByteArrayView(bytes).chopped(1)).status ==
                   ParseStatus::Incomplete);

    // The input as a list of paths, one per line.
    QStringList paths;
    for (const QByteArray& line : bytes.split('\n')) paths.append(QString::fromUtf8(line));
    if (const std::optional<QByteArray> message = SerializeMessage(paths)) {
        FUZZ_CHECK(message->size() <= kMaxMessageBytes);
        const ParsedMessage back = ParseMessage(*message);
        FUZZ_CHECK(back.status == ParseStatus::Complete && back.paths == paths);
    }
    return 0;
}
