#include "itunes_gapless.h"

#include <cstdio>
#include <stdexcept>
#include <string_view>

namespace corvane::gen {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t ReadU32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
           static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

void WriteU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

std::string U32(std::uint32_t v) {
    std::string text(4, '\0');
    for (int i = 0; i < 4; ++i) text[i] = static_cast<char>(v >> (24 - 8 * i));
    return text;
}

// One atom: size, type, then `body`.
std::string Atom(const char* type, const std::string& body) {
    return U32(static_cast<std::uint32_t>(8 + body.size())) + type + body;
}

// Offset of the first atom of `type` among the atoms in [from, to); `to` when there is none.
std::size_t Find(const Bytes& b, std::size_t from, std::size_t to, std::string_view type) {
    for (std::size_t at = from; at + 8 <= to;) {
        const std::uint32_t size = ReadU32(b, at);
        if (size < 8 || size > to - at) break;  // 64-bit or broken sizes: not ours to patch
        if (std::string_view(reinterpret_cast<const char*>(&b[at + 4]), 4) == type) return at;
        at += size;
    }
    return to;
}

std::size_t Require(const Bytes& b, std::size_t from, std::size_t to, std::string_view type) {
    const std::size_t at = Find(b, from, to, type);
    if (at == to) throw std::runtime_error("no " + std::string(type) + " atom for iTunSMPB");
    return at;
}

}  // namespace

std::string ItunesSmpb(long long delay, long long padding, long long count) {
    char text[128];
    std::snprintf(text, sizeof text, " 00000000 %08llX %08llX %016llX", delay, padding, count);
    std::string value = text;
    for (int i = 0; i < 8; ++i) value += " 00000000";
    return value;
}

Bytes WithItunesSmpb(Bytes mp4, const std::string& value) {
    const std::size_t moov = Require(mp4, 0, mp4.size(), "moov");
    const std::size_t moovEnd = moov + ReadU32(mp4, moov);
    if (Find(mp4, moovEnd, mp4.size(), "mdat") != mp4.size())
        throw std::runtime_error("media data after the moov would move");
    const std::size_t udta = Require(mp4, moov + 8, moovEnd, "udta");
    const std::size_t meta = Require(mp4, udta + 8, udta + ReadU32(mp4, udta), "meta");
    // meta is a full atom: version and flags come before its children.
    const std::size_t ilst = Require(mp4, meta + 12, meta + ReadU32(mp4, meta), "ilst");

    // Each child starts with a version and flags word; data's flags say UTF-8 (1), and a
    // locale word (0) precedes its text.
    const std::string atom =
        Atom("----", Atom("mean", U32(0) + "com.apple.iTunes") + Atom("name", U32(0) + "iTunSMPB") +
                         Atom("data", U32(1) + U32(0) + value));

    const std::size_t ilstEnd = ilst + ReadU32(mp4, ilst);
    for (std::size_t parent : {moov, udta, meta, ilst})
        WriteU32(mp4, parent, ReadU32(mp4, parent) + static_cast<std::uint32_t>(atom.size()));
    mp4.insert(mp4.begin() + static_cast<std::ptrdiff_t>(ilstEnd), atom.begin(), atom.end());
    return mp4;
}

}  // namespace corvane::gen
