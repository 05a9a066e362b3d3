#include "audio/backends.h"

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace corvane::audio {

namespace {

constexpr const char* kModuleName = "libcorvane_backends.so";

// The library folder beside the program's bin/ (as installed, and in the build tree), then
// the dynamic loader's own search (the program's run path, LD_LIBRARY_PATH).
QStringList Candidates() {
    const QString bin = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).path();
    QStringList candidates;
    for (const QString& libdir : {QStringLiteral(CORVANE_LIBDIR), QStringLiteral("lib")}) {
        const QString path = QDir::cleanPath(bin + QStringLiteral("/../") + libdir + u'/' +
                                             QLatin1String(kModuleName));
        if (!candidates.contains(path) && QFileInfo::exists(path)) candidates.append(path);
    }
    candidates.append(QLatin1String(kModuleName));
    return candidates;
}

struct Loaded {
    const Backends* backends = nullptr;
    QString error;
};

}  // namespace

const Backends* LoadBackendsFrom(const QStringList& candidates, QString* error) {
    QString reason = QStringLiteral("no place to look");
    for (const QString& path : candidates) {
        // Never closed: decoders and outputs made by the module live until the process ends.
        void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            reason = QString::fromLocal8Bit(dlerror());
            continue;
        }
        using Entry = const Backends* (*)();
        auto entry = reinterpret_cast<Entry>(dlsym(handle, kBackendsEntry));
        const Backends* backends = entry ? entry() : nullptr;
        if (backends != nullptr && backends->version == kBackendsVersion) return backends;
        reason = path + QStringLiteral(": not this program's sound module");
    }
    if (error != nullptr)
        *error = QStringLiteral("cannot load the sound libraries (%1)").arg(reason);
    return nullptr;
}

const Backends* LoadBackends(QString* error) {
    static const Loaded loaded = [] {
        Loaded result;
        result.backends = LoadBackendsFrom(Candidates(), &result.error);
        return result;
    }();
    if (loaded.backends == nullptr && error != nullptr) *error = loaded.error;
    return loaded.backends;
}

}  // namespace corvane::audio
