#pragma once

#include <QGroupBox>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace corvane {
class Settings;
}

namespace corvane::options {

// The Audio tab's "Record" box: the folder recordings go to, their format and, for MP3 and
// Ogg Vorbis, the bit rate. Every change is stored at once, like the rest of the dialog; the
// next recording uses it.
class RecordSection : public QGroupBox {
    Q_OBJECT

public:
    static constexpr char kBrowseTitle[] = "Choose the Folder for Recordings";
    static constexpr int kBitrates[] = {128, 160, 192, 224, 256, 320};

    explicit RecordSection(Settings& settings, QWidget* parent = nullptr);

    QLineEdit* FolderEdit() const { return folder_; }
    QComboBox* FormatBox() const { return format_; }
    QComboBox* BitrateBox() const { return bitrate_; }

private:
    void Load();
    void StoreFolder();
    void StoreFormat();

    Settings& settings_;
    QLineEdit* folder_;
    QPushButton* browse_;
    QComboBox* format_;
    QComboBox* bitrate_;
};

}  // namespace corvane::options
