#include "appearance/face.h"

#include <QDir>
#include <QFile>
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

QStringList FaceNames(const FaceFolders& folders) {
    QStringList names = FaceNames(folders.user);
    for (const QString& name : FaceNames(folders.installed)) {
        if (!names.contains(name)) names.append(name);
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

QString FacePath(const FaceFolders& folders, const QString& name) {
    const QString user = folders.user.isEmpty() ? QString() : FacePath(folders.user, name);
    if (!user.isEmpty() && QFileInfo(user).isDir()) return user;
    return FacePath(folders.installed, name);
}

bool IsInstalledFace(const FaceFolders& folders, const QString& facePath) {
    if (folders.installed.isEmpty() || facePath.isEmpty()) return false;
    const QString installed = QDir::cleanPath(QDir(folders.installed).absolutePath());
    return QDir::cleanPath(QDir(facePath).absolutePath()).startsWith(installed + QLatin1Char('/'));
}

QString CopyFaceToUser(const FaceFolders& folders, const QString& facePath, QString* error) {
    const QDir source(facePath);
    const QString target = FacePath(folders.user, source.dirName());
    if (folders.user.isEmpty() || target.isEmpty() || !QDir().mkpath(target)) {
        *error = QStringLiteral("The folder %1 could not be made.").arg(target);
        return QString();
    }
    for (const QString& entry : source.entryList(QDir::Files)) {
        const QString copy = target + entry;
        if (QFileInfo::exists(copy)) continue;
        if (!QFile::copy(source.filePath(entry), copy)) {
            *error = QStringLiteral("%1 could not be copied to %2.").arg(entry, target);
            return QString();
        }
        // The installed file may be read-only; the user's copy is the user's to change.
        QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::WriteOwner);
    }
    return target;
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
