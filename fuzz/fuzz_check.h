#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

// A broken property aborts, so that libFuzzer keeps the input and reports it like a crash.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

namespace corvane::fuzz {

// A folder of the process's own for the readers that take a file name; removed at exit. In
// memory when it can be: every write syncs the file.
inline const QString& ScratchDir() {
    static const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir dir(base + QStringLiteral("/corvane-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

// Writes `bytes` as the file `name` in the scratch folder and returns its path.
inline QString WriteScratch(const QString& name, const QByteArray& bytes) {
    const QString path = ScratchDir() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(bytes);
    return path;
}

inline QByteArray Bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

}  // namespace corvane::fuzz
