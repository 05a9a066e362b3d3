#include "audio/decoder.h"

#include <QFile>
#include <QFileInfo>

#include "audio/backends.h"
#include "audio/ram_metafile.h"

namespace corvane::audio {

namespace {

constexpr qint64 kMaxRamBytes = 64 * 1024;

bool HasSuffix(const QString& path, std::initializer_list<const char*> suffixes) {
    const QString suffix = QFileInfo(path).suffix();
    for (const char* s : suffixes)
        if (suffix.compare(QLatin1String(s), Qt::CaseInsensitive) == 0) return true;
    return false;
}

// Opens `path` for reading if it is a regular file: a fifo or a device could block forever.
bool OpenRegularFile(const QString& path, QFile* file, QString* error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("file not found");
        return false;
    }
    if (!info.isFile() || !file->open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the file");
        return false;
    }
    return true;
}

// FFmpeg or FluidSynth, from the sound module.
std::unique_ptr<Decoder> OpenWith(bool midi, const QString& path, int outputRate, QString* error) {
    const Backends* backends = LoadBackends(error);
    if (backends == nullptr) return nullptr;
    return (midi ? backends->openMidi : backends->openFfmpeg)(path, outputRate, error);
}

// A sound file other than a metafile: MIDI by its signature, everything else through FFmpeg,
// which goes by the content too, whatever the name says.
std::unique_ptr<Decoder> OpenMedia(const QString& path, int outputRate, QString* error) {
    QFile file(path);
    if (!OpenRegularFile(path, &file, error)) return nullptr;
    const QByteArray head = file.read(4);
    file.close();
    if (head == QByteArrayLiteral("MThd")) return OpenWith(true, path, outputRate, error);
    auto decoder = OpenWith(false, path, outputRate, error);
    if (!decoder && HasSuffix(path, {"mid", "midi", "kar", "rmi"}))
        *error = QStringLiteral("not a Standard MIDI File");
    return decoder;
}

// Plays the first local file the metafile names. Only one level: a metafile naming another
// (or itself) is refused, so no chain can loop.
std::unique_ptr<Decoder> OpenRam(const QString& path, int outputRate, QString* error) {
    QFile file(path);
    if (!OpenRegularFile(path, &file, error)) return nullptr;
    const QByteArray text = file.read(kMaxRamBytes);
    // Some .ram files are RealMedia streams under the wrong name.
    if (text.startsWith(".RMF") || text.startsWith(".ra\xfd"))
        return OpenWith(false, path, outputRate, error);
    const QString target = LocalStreamOfRam(text, QFileInfo(path).absolutePath(), error);
    if (target.isEmpty()) return nullptr;
    if (HasSuffix(target, {"ram"})) {
        *error = QStringLiteral("the metafile names another metafile");
        return nullptr;
    }
    return OpenMedia(target, outputRate, error);
}

}  // namespace

std::unique_ptr<Decoder> OpenDecoder(const QString& path, int outputRate, QString* error) {
    QString ignored;
    if (!error) error = &ignored;
    if (outputRate <= 0) {
        *error = QStringLiteral("bad output rate");
        return nullptr;
    }
    if (HasSuffix(path, {"ram"})) return OpenRam(path, outputRate, error);
    return OpenMedia(path, outputRate, error);
}

}  // namespace corvane::audio
