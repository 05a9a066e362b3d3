#pragma once

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace corvane {
class Settings;
}

namespace corvane::options {

// The Audio tab's "Broadcast" section: the Icecast server, the mount point and the login, the
// stream's name, genre, format and bit rate. Every change is stored the moment it is made and
// used at the next Connect. The password is kept only in a settings file private to its owner.
class BroadcastSection : public QGroupBox {
    Q_OBJECT

public:
    explicit BroadcastSection(Settings& settings, QWidget* parent = nullptr);

private:
    void StoreText(QLineEdit* field, QLatin1String key);
    void StorePassword();

    Settings& settings_;
    QLineEdit* server_;
    QSpinBox* port_;
    QLineEdit* mount_;
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* name_;
    QLineEdit* genre_;
    QComboBox* format_;
    QComboBox* bitrate_;
    QCheckBox* lineTitles_;
    QLabel* message_;
};

}  // namespace corvane::options
