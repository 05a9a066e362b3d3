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
