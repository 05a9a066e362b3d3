#include "appearance/face.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace corvane::appearance {
namespace {

class FaceFolder : public ::testing::Test {
protected:
    void Touch(const QString& name) {
        QFile file(QDir(face_).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    // The picture files' names in the order they are tried, one space apart.
    QString Names(FacePicture picture) const {
        QStringList names;
        for (const QString& file : FacePictureFiles(face_, picture))
            names.append(QFileInfo(file).fileName());
        return names.join(QLatin1Char(' '));
    }

    QTemporaryDir dir_;
    QString faces_ = dir_.filePath(QStringLiteral("Faces"));
    QString face_ = FacePath(faces_, QStringLiteral("Night"));
    bool made_ = QDir().mkpath(face_);
};

TEST_F(FaceFolder, PicturesComeInTheOrderBmpJpgGif) {
    Touch(QStringLiteral("backpic.gif"));
    Touch(QStringLiteral("backpic.jpg"));
    Touch(QStringLiteral("backpic.bmp"));
    EXPECT_EQ(Names(FacePicture::Background),
              QStringLiteral("backpic.bmp backpic.jpg backpic.gif"));
    Touch(QStringLiteral("slider.jpg"));
    Touch(QStringLiteral("fader.png"));
    EXPECT_EQ(Names(FacePicture::SliderKnob), QStringLiteral("slider.jpg"));
    EXPECT_TRUE(Names(FacePicture::FaderKnob).isEmpty());
}

TEST_F(FaceFolder, NamesMatchWithoutRegardToCaseButAFolderIsNoFile) {
    Touch(QStringLiteral("BackPic.BMP"));
    Touch(QStringLiteral("Colors.TXT"));
    EXPECT_EQ(Names(FacePicture::Background), QStringLiteral("BackPic.BMP"));
    EXPECT_EQ(QFileInfo(FaceColorsFile(face_)).fileName(), QStringLiteral("Colors.TXT"));
    ASSERT_TRUE(QDir(face_).remove(QStringLiteral("Colors.TXT")));
    ASSERT_TRUE(QDir(face_).mkdir(QStringLiteral("colors.txt")));
    ASSERT_TRUE(QDir(face_).mkdir(QStringLiteral("slider.bmp")));
    EXPECT_TRUE(Names(FacePicture::SliderKnob).isEmpty());
    EXPECT_TRUE(FaceColorsFile(face_).isEmpty());
}

TEST_F(FaceFolder, NamesThatWouldLeaveTheFacesFolderAreNoFace) {
    EXPECT_EQ(face_, faces_ + QStringLiteral("/Night/"));
    for (const char* bad : {"", ".", "..", "../Night", "a/b", "a\\b", "/etc"})
        EXPECT_TRUE(FacePath(faces_, QLatin1String(bad)).isEmpty()) << bad;
    EXPECT_TRUE(FacePictureFiles(QString(), FacePicture::Background).isEmpty());
    EXPECT_TRUE(FaceColorsFile(QString()).isEmpty());
}

TEST_F(FaceFolder, FaceListOfAMissingEmptyOrFullFolder) {
    EXPECT_TRUE(FaceNames(dir_.filePath(QStringLiteral("Nowhere"))).isEmpty());
    const QString empty = dir_.filePath(QStringLiteral("Empty"));
    ASSERT_TRUE(QDir().mkpath(empty));
    EXPECT_TRUE(FaceNames(empty).isEmpty());
    ASSERT_TRUE(QDir().mkpath(FacePath(faces_, QStringLiteral("aqua"))));
    Touch(QStringLiteral("../readme.txt"));
    EXPECT_EQ(FaceNames(faces_), (QStringList{QStringLiteral("aqua"), QStringLiteral("Night")}));
}

TEST_F(FaceFolder, UserFacesStandBesideInstalledOnesAndWinByName) {
    const FaceFolders folders{dir_.filePath(QStringLiteral("User")), faces_};
    EXPECT_EQ(FaceNames(folders), QStringList{QStringLiteral("Night")});
    EXPECT_EQ(FacePath(folders, QStringLiteral("Night")), face_);
    EXPECT_TRUE(IsInstalledFace(folders, face_));
    for (const char* name : {"Night", "mine"})
        ASSERT_TRUE(QDir().mkpath(FacePath(folders.user, QLatin1String(name))));
    EXPECT_EQ(FaceNames(folders), (QStringList{QStringLiteral("mine"), QStringLiteral("Night")}));
    const QString userNight = FacePath(folders, QStringLiteral("Night"));
    EXPECT_EQ(userNight, FacePath(folders.user, QStringLiteral("Night")));
    EXPECT_FALSE(IsInstalledFace(folders, userNight));
    EXPECT_TRUE(FacePath(folders, QStringLiteral("..")).isEmpty());
}

TEST_F(FaceFolder, CopyToTheUserKeepsFilesAlreadyThereAndCanBeWritten) {
    const FaceFolders folders{dir_.filePath(QStringLiteral("User")), faces_};
    Touch(QStringLiteral("backpic.bmp"));
    Touch(QStringLiteral("colors.txt"));
    QFile::setPermissions(QDir(face_).filePath(QStringLiteral("colors.txt")), QFile::ReadOwner);
    const QString target = FacePath(folders.user, QStringLiteral("Night"));
    ASSERT_TRUE(QDir().mkpath(target));
    QFile mine(target + QStringLiteral("backpic.bmp"));
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("mine");
    mine.close();
    QString error;
    EXPECT_EQ(CopyFaceToUser(folders, face_, &error), target);
    EXPECT_EQ(mine.size(), 4);
    EXPECT_TRUE(QFile::permissions(target + QStringLiteral("colors.txt")) & QFile::WriteOwner);

    // A user folder that cannot be made: its parent is a file.
    const FaceFolders blocked{target + QStringLiteral("backpic.bmp"), faces_};
    EXPECT_TRUE(CopyFaceToUser(blocked, face_, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace corvane::appearance
