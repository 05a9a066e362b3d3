#include "options/ui/broadcast_section.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "broadcast/broadcast_settings.h"
#include "settings/settings.h"

namespace corvane::options {

namespace {
template <typename W>
W* Named(W* widget, const char* name, const char* tip) {
    widget->setObjectName(QLatin1String(name));
    widget->setToolTip(QLatin1String(tip));
    return widget;
}
}  // namespace

BroadcastSection::BroadcastSection(Settings& settings, QWidget* parent)
    : QGroupBox(QStringLiteral("Broadcast"), parent), settings_(settings) {
    setObjectName(QStringLiteral("BroadcastSection"));
    const broadcast::BroadcastSettings now = broadcast::LoadBroadcastSettings(settings);
    server_ = Named(new QLineEdit(now.server), "BroadcastServer",
                    "Sets the Icecast server the mix is broadcast to");
    port_ = Named(new QSpinBox, "BroadcastPort", "Sets the server's port");
    port_->setRange(1, 65535);
    port_->setValue(now.port);
    mount_ = Named(new QLineEdit(now.mount), "BroadcastMount",
                   "Sets the mount point listeners tune in to");
    user_ = Named(new QLineEdit(now.user), "BroadcastUser", "Sets the source user name");
    password_ = Named(new QLineEdit(now.password), "BroadcastPassword",
                      "Sets the source password (kept in the settings file, readable by you only)");
    password_->setEchoMode(QLineEdit::Password);
    name_ = Named(new QLineEdit(now.name), "BroadcastName", "Sets the stream's name");
    genre_ = Named(new QLineEdit(now.genre), "BroadcastGenre", "Sets the stream's genre");
    format_ = Named(new QComboBox, "BroadcastFormat", "Sets the stream's format");
    format_->addItems(broadcast::FormatNames());
    format_->setCurrentText(broadcast::FormatName(now.format));
    bitrate_ = Named(new QComboBox, "BroadcastBitrate", "Sets the stream's bit rate");
    for (int rate : broadcast::kBitrates) bitrate_->addItem(QString::number(rate), rate);
    bitrate_->setCurrentText(QString::number(now.bitrate));
    lineTitles_ =
        Named(new QCheckBox(QStringLiteral("Titles from the lines too")), "BroadcastLineTitles",
              "Songs started on the lines set the stream title, not only the AutoPilot's");
    lineTitles_->setChecked(now.lineTitles);
    message_ = Named(new QLabel, "BroadcastMessage", "");
    message_->setWordWrap(true);

    StoreText(server_, keys::kBroadcastServer);
    StoreText(mount_, keys::kBroadcastMount);
    StoreText(user_, keys::kBroadcastUser);
    StoreText(name_, keys::kBroadcastName);
    StoreText(genre_, keys::kBroadcastGenre);
    connect(port_, &QSpinBox::editingFinished, this,
            [this] { settings_.SavePref(keys::kBroadcastPort, port_->value()); });
    connect(format_, &QComboBox::activated, this,
            [this] { settings_.SavePref(keys::kBroadcastFormat, format_->currentText()); });
    connect(bitrate_, &QComboBox::activated, this, [this] {
        settings_.SavePref(keys::kBroadcastBitrate, bitrate_->currentData().toInt());
    });
    connect(lineTitles_, &QCheckBox::clicked, this,
            [this](bool on) { settings_.SavePref(keys::kBroadcastLineTitles, on); });
    connect(password_, &QLineEdit::editingFinished, this, &BroadcastSection::StorePassword);

    auto* grid = new QGridLayout(this);
    const auto row = [grid](int at, const char* label, QWidget* field, int column = 0) {
        grid->addWidget(new QLabel(QLatin1String(label)), at, column);
        grid->addWidget(field, at, column + 1);
    };
    row(0, "Server:", server_);
    row(0, "Port:", port_, 2);
    row(1, "Mount:", mount_);
    row(1, "Format:", format_, 2);
    row(2, "User:", user_);
    row(2, "kbit/s:", bitrate_, 2);
    row(3, "Password:", password_);
    row(4, "Name:", name_);
    row(4, "Genre:", genre_, 2);
    grid->addWidget(lineTitles_, 5, 0, 1, 4);
    grid->addWidget(message_, 6, 0, 1, 4);
}

void BroadcastSection::StoreText(QLineEdit* field, QLatin1String key) {
    connect(field, &QLineEdit::editingFinished, this,
            [this, field, key] { settings_.SavePref(key, field->text().trimmed()); });
}

void BroadcastSection::StorePassword() {
    if (password_->text() == settings_.GetText(keys::kBroadcastPassword)) return;
    QString error;
    message_->setText(
        broadcast::SaveBroadcastPassword(settings_, password_->text(), &error) ? QString() : error);
}

}  // namespace corvane::options
