#include "remote/instance_message.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "remote/forward_request.h"
#include "support/qstring_printer.h"

namespace corvane::remote {
namespace {

QByteArray Count(quint32 n) {
    return QByteArray(1, char(n >> 24)) + char(n >> 16) + char(n >> 8) + char(n);
}
QByteArray Header(quint32 count, char version = 1) {
    return QByteArray("CVNM") + version + Count(count);
}

TEST(InstanceMessage, ParsesOnlyWellFormedMessages) {
    const QByteArray path = QByteArrayLiteral("/m\xc3\xbcsic/a.mp3");
    const QByteArray one = Header(1) + Count(quint32(path.size())) + path;
    struct Case {
        const char* what;
        QByteArray bytes;
        ParseStatus status;
    };
    const Case cases[] = {
        {"no paths", Header(0), ParseStatus::Complete},
        {"one path", one, ParseStatus::Complete},
        {"empty", QByteArray(), ParseStatus::Incomplete},
        {"half the magic", "CV", ParseStatus::Incomplete},
        {"header cut", Header(1).left(7), ParseStatus::Incomplete},
        {"path cut", one.chopped(1), ParseStatus::Incomplete},
        {"the old activation", "activate\n", ParseStatus::Invalid},
        {"other magic", "CVNX" + Header(0).mid(4), ParseStatus::Invalid},
        {"next version", Header(0, 2), ParseStatus::Invalid},
        {"too many paths", Header(quint32(kMaxPaths) + 1), ParseStatus::Invalid},
        {"huge count", Header(0xffffffffu), ParseStatus::Invalid},
        {"empty path", Header(1) + Count(0), ParseStatus::Invalid},
        {"path too long", Header(1) + Count(quint32(kMaxPathBytes) + 1), ParseStatus::Invalid},
        {"bytes after the end", one + 'x', ParseStatus::Invalid},
        {"relative path", Header(1) + Count(5) + "a.mp3", ParseStatus::Invalid},
        {"NUL in a path", Header(1) + Count(3) + QByteArray("/a\0", 3), ParseStatus::Invalid},
        {"bad UTF-8", Header(1) + Count(3) + "/\xc3\x28", ParseStatus::Invalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ParseMessage(c.bytes).status, c.status);
    }
    EXPECT_EQ(ParseMessage(one).paths, QStringList{QString::fromUtf8(path)});
}

TEST(InstanceMessage, WhatIsSentComesBackAndOnlySendablePathsGo) {
    const QStringList paths{QStringLiteral("/a b/ü ß 日本.mp3"), QStringLiteral("/x.m3u"),
                            QStringLiteral("/") + QString(kMaxPathBytes - 1, u'a')};
    const std::optional<QByteArray> message = SerializeMessage(paths);
    ASSERT_TRUE(message);
    const ParsedMessage parsed = ParseMessage(*message);
    EXPECT_EQ(parsed.status, ParseStatus::Complete);
    EXPECT_EQ(parsed.paths, paths);

    for (const QString& bad : {QStringLiteral("a.mp3"), QString(), QStringLiteral("/a\0b"),
                               QStringLiteral("/") + QString(kMaxPathBytes, u'a'),
                               QStringLiteral("/") + QChar(0xd800)}) {
        EXPECT_FALSE(SerializeMessage({bad})) << bad.size();
    }
    EXPECT_FALSE(SerializeMessage(QStringList(kMaxPaths + 1, QStringLiteral("/a"))));
}

TEST(ForwardRequest, RefusesWhatCannotBeOpenedWithOneLine) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("song.mp3"));
    QFile(file).open(QIODevice::WriteOnly);
    struct Case {
        const char* what;
        QStringList paths;
        const char* error;  // found in the line; "" when it is sent
    };
    const Case cases[] = {
        {"nothing: raise only", {}, ""},
        {"a file", {file, file}, ""},
        {"missing", {file, dir.filePath(QStringLiteral("gone.mp3"))}, "no such file"},
        {"a folder", {dir.path()}, "is a folder"},
        {"10,000 files", QStringList(10000, file), "10000 files given; at most 1000"},
        {"1 MB path", {QStringLiteral("/") + QString(1 << 20, u'a')}, "longer than 4096 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ForwardRequest request = PrepareForward(c.paths);
        if (*c.error == 0) {
            EXPECT_EQ(request.error, QString());
            EXPECT_EQ(ParseMessage(request.message).paths, c.paths);
        } else {
            EXPECT_TRUE(request.error.contains(QLatin1String(c.error)))
                << request.error.toStdString();
            EXPECT_LT(request.error.size(), 200);
            EXPECT_TRUE(request.message.isEmpty());
        }
    }
}

}  // namespace
}  // namespace corvane::remote
