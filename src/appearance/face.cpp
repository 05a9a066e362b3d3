#include "appearance/face.h"

#include <QDir>
#include <QFileInfo>

namespace corvane::appearance {
namespace {

QLatin1String BaseName(FacePicture picture) {
    switch (picture) {
        case FacePicture::Background:
            return QLatin1String("backpic");
        case FacePicture::SliderKnob:
            return QLatin1String("slider");
        case FacePicture::FaderKnob:
            return QLatin1String("fader");
    }
    return QLatin1String();
}

// The face folder's file of that name in any case; an exact match comes first.
QString FindFile(const QString& facePath, const QString& name) {
    if (facePath.isEmpty()) return QString();
    const QDir folder(facePath);
    if (QFileInfo(folder.filePath(name)).isFile()) return folder.filePath(name);
    for (const QString& entry : folder.entryList(QDir::Files)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return folder.filePath(entry);
    }
    return QString();
}

}  // namespace

QString FacesFolder(const QString& appFolder) {
    return QDir(appFolder).filePath(QLatin1String(kFacesFolderName));
}

QString FacePath(const QString& facesFolder, const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        return QString();
    }
    return QDir(facesFolder).filePath(name) + QLatin1Char('/');
}

QStringList FaceNames(const QString& facesFolder) {
    return QDir(facesFolder)
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

QStringList FacePictureFiles(const QString& facePath, FacePicture picture) {
    QStringList files;
    for (const char* extension : {".bmp", ".jpg", ".gif"}) {
        const QString file = FindFile(facePath, BaseName(picture) + QLatin1String(extension));
        if (!file.isEmpty()) files.append(file);
    }
    return files;
}

QString FaceColorsFile(const QString& facePath) {
    return FindFile(facePath, QLatin1String(kColorsFileName));
}

}  // namespace corvane::appearance
