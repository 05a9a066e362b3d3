#pragma once

#include <QString>
#include <QStringList>

namespace corvane::appearance {

// The pictures a face folder may hold, each looked up as "<name>.bmp", then ".jpg", then ".gif".
enum class FacePicture { Background, SliderKnob, FaderKnob };

inline constexpr char kFacesFolderName[] = "Faces";
inline constexpr char kColorsFileName[] = "colors.txt";

// The folder that holds the faces: the program folder's "Faces".
QString FacesFolder(const QString& appFolder);

// Where faces are: the user's own folder, whose faces win over installed ones of the same name,
// and the installed folder, which is read-only.
struct FaceFolders {
    QString user;
    QString installed;
};

// The faces of both folders, each name once, sorted without regard to case.
QStringList FaceNames(const FaceFolders& folders);
// The user's face of that name when there is one, else the installed face's path (FacePath).
QString FacePath(const FaceFolders& folders, const QString& name);
// Whether the face folder lies in the installed folder, which is never written.
bool IsInstalledFace(const FaceFolders& folders, const QString& facePath);
// Copies the face's files into a face of the same name in the user's folder, keeping those
// already there. The copy's path ending in '/', or empty text with `error` saying why.
QString CopyFaceToUser(const FaceFolders& folders, const QString& facePath, QString* error);

// The face's folder with a trailing '/', or empty text when the name cannot be a face: empty,
// ".", "..", or holding a path separator (a stored name must not lead out of the faces folder).
QString FacePath(const QString& facesFolder, const QString& name);

// The names of the faces (the sub-folders of the faces folder), sorted without regard to case;
// none when the folder is missing or unreadable.
QStringList FaceNames(const QString& facesFolder);

// The face's files for the picture in the order they are to be tried (bmp, jpg, gif), those
// that exist only. Names are matched without regard to case, so faces made on systems that
// ignore case ("BackPic.BMP") load too.
QStringList FacePictureFiles(const QString& facePath, FacePicture picture);

// The face's "colors.txt" (matched the same way), or empty text when it has none.
QString FaceColorsFile(const QString& facePath);

}  // namespace corvane::appearance
