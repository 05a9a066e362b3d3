#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace corvane::remote {

// What a later start hands the running program: the message to send, or why it refuses.
struct ForwardRequest {
    QByteArray message;
    // One line for stderr; the request is refused (nothing is sent) when it is not empty.
    QString error;
};

// Checks the paths of a later start (made absolute already) and makes its message: every path
// must name a file (not a folder) and fit the message's bounds. No paths: the message that
// only raises the running program's window.
ForwardRequest PrepareForward(const QStringList& paths);

// Where a forwarded sound file goes: line 1 when free, else the first free line from 2 to 6,
// else 0 (the end of the playlist).
int LineForSound(const std::function<bool(int line)>& busy);

}  // namespace corvane::remote
