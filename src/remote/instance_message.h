#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <optional>

namespace corvane::remote {

// What a later start tells the running program over the single-instance socket: the magic
// "CVNM", a version byte, the number of paths, then each path as its length and its UTF-8
// bytes; every number a 32-bit big-endian count. No paths means "raise the window" only.
// Anything else, an older or newer version included, is ignored by the receiver.
inline constexpr char kMessageMagic[] = "CVNM";
inline constexpr quint8 kMessageVersion = 1;
inline constexpr qsizetype kMaxPaths = 1000;
inline constexpr qsizetype kMaxPathBytes = 4096;
inline constexpr qsizetype kMessageHeaderBytes = 4 + 1 + 4;
inline constexpr qsizetype kMaxMessageBytes = kMessageHeaderBytes + kMaxPaths * (4 + kMaxPathBytes);

// A path the message can carry: absolute, at most kMaxPathBytes of UTF-8, no NUL, valid
// UTF-16 (so that it comes back as it went).
bool IsSendablePath(const QString& path);

// The message for `paths`; nullopt when there are more than kMaxPaths or one is not sendable.
std::optional<QByteArray> SerializeMessage(const QStringList& paths);

enum class ParseStatus {
    Complete,    // `paths` holds the message's paths
    Incomplete,  // a well-formed beginning: more bytes may complete it
    Invalid,     // not one of our messages, or out of bounds: ignore it
};

struct ParsedMessage {
    ParseStatus status = ParseStatus::Invalid;
    QStringList paths;
};

// Reads one whole message. Bytes after its end make it invalid: the sender writes one message
// per connection.
ParsedMessage ParseMessage(QByteArrayView bytes);

}  // namespace corvane::remote
