// A face's colour file: read, written back, read again: the colours as written.
#include "appearance/colors.h"
#include "fuzz_check.h"
#include "settings/ini.h"

using namespace corvane;
using namespace corvane::appearance;

namespace {

bool SameColors(const SchemeColors& a, const SchemeColors& b) {
    const auto low = [](ColorValue c) { return quint32(c) & 0xFFFFFFu; };
    return low(a.text) == low(b.text) && low(a.led) == low(b.led) && low(a.line) == low(b.line) &&
           low(a.back) == low(b.back) && low(a.hilite) == low(b.hilite);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    // Each line as a colour value too.
    for (const QByteArray& line : bytes.split('\n')) {
        const QString literal = ParseColor(QString::fromUtf8(line.trimmed()));
        FUZZ_CHECK(literal == QStringLiteral("0") || literal.size() == 8);
        if (const auto color = ColorFromLiteral(literal)) {
            FUZZ_CHECK(*color >= 0 && *color <= 0xFFFFFF);
            FUZZ_CHECK(ColorFromLiteral(ParseColor(FormatColor(*color))) == color);
        }
    }

    IniFiles ini;
    const QString file = fuzz::WriteScratch(QStringLiteral("colors.txt"), bytes);
    const SchemeColors current;
    const std::optional<FaceColors> face = ReadFaceColors(ini, file, current);
    if (!face) return 0;
    const bool visible = face->linesVisible.value_or(true);
    FUZZ_CHECK(WriteFaceColors(ini, file, face->colors, visible));
    const std::optional<FaceColors> again = ReadFaceColors(ini, file, SchemeColors{});
    FUZZ_CHECK(again && SameColors(again->colors, face->colors));
    FUZZ_CHECK(again->linesVisible == visible);
    return 0;
}
