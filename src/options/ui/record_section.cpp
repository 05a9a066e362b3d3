#include "options/ui/record_section.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "record/encoder.h"
#include "settings/keys.h"
#include "settings/settings.h"

namespace corvane::options {

namespace {

using record::Format;

struct FormatChoice {
    Format format;
    const char* caption;
};
constexpr FormatChoice kFormats[] = {{Format::Flac, "FLAC (lossless)"},
                                     {Format::Wav16, "WAV 16 bit"},
                                     {Format::Wav24, "WAV 24 bit"},
                                     {Format::Mp3, "MP3"},
                                     {Format::Vorbis, "Ogg Vorbis"}};

bool UsesBitrate(Format format) { return format == Format::Mp3 || format == Format::Vorbis; }

template <class W>
W* Named(W* widget, const char* name, const char* hint) {
    widget->setObjectName(QLatin1String(name));
    widget->setToolTip(QLatin1String(hint));
    return widget;
}

}  // namespace

RecordSection::RecordSection(Settings& settings, QWidget* parent)
    : QGroupBox(QStringLiteral("Record"), parent), settings_(settings) {
    setObjectName(QStringLiteral("RecordSection"));
    folder_ = Named(new QLineEdit, "RecordFolder", "Sets the folder recordings are saved in");
    browse_ = Named(new QPushButton(QStringLiteral("&Browse...")), "RecordBrowse",
                    "Chooses the folder recordings are saved in");
    format_ = Named(new QComboBox, "RecordFormat", "Sets the format recordings are saved in");
    bitrate_ = Named(new QComboBox, "RecordBitrate", "Sets the bit rate of MP3 and Ogg recordings");
    for (const FormatChoice& choice : kFormats)
        format_->addItem(QLatin1String(choice.caption), record::FormatName(choice.format));
    for (int kbps : kBitrates) bitrate_->addItem(QStringLiteral("%1 kbit/s").arg(kbps), kbps);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Folder:")), 0, 0);
    grid->addWidget(folder_, 0, 1, 1, 2);
    grid->addWidget(browse_, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Format:")), 1, 0);
    grid->addWidget(format_, 1, 1);
    grid->addWidget(bitrate_, 1, 2);
    grid->setColumnStretch(1, 1);

    Load();
    connect(folder_, &QLineEdit::editingFinished, this, &RecordSection::StoreFolder);
    connect(browse_, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, QLatin1String(kBrowseTitle), folder_->text());
        if (chosen.isEmpty()) return;
        folder_->setText(QDir::toNativeSeparators(chosen));
        StoreFolder();
    });
    connect(format_, &QComboBox::activated, this, &RecordSection::StoreFormat);
    connect(bitrate_, &QComboBox::activated, this,
            [this] { settings_.SavePref(keys::kRecordBitrate, bitrate_->currentData().toInt()); });
}

void RecordSection::Load() {
    const QSignalBlocker quietFolder(folder_);
    folder_->setText(settings_.GetText(keys::kRecordFolder));
    const Format format = record::FormatFromName(settings_.GetText(keys::kRecordFormat));
    const int index = format_->findData(record::FormatName(format));
    format_->setCurrentIndex(index >= 0 ? index : 0);
    // A stored rate that is not offered shows as the nearest one below it.
    const int kbps = settings_.GetInt(keys::kRecordBitrate);
    int at = 0;
    for (int i = 0; i < bitrate_->count(); ++i)
        if (bitrate_->itemData(i).toInt() <= kbps) at = i;
    bitrate_->setCurrentIndex(at);
    bitrate_->setEnabled(UsesBitrate(format));
}

void RecordSection::StoreFolder() {
    const QString folder = folder_->text().trimmed();
    if (folder.isEmpty()) {
        folder_->setText(settings_.GetText(keys::kRecordFolder));
        return;
    }
    if (folder != settings_.GetText(keys::kRecordFolder))
        settings_.SavePref(keys::kRecordFolder, folder);
}

void RecordSection::StoreFormat() {
    const QString name = format_->currentData().toString();
    settings_.SavePref(keys::kRecordFormat, name);
    bitrate_->setEnabled(UsesBitrate(record::FormatFromName(name)));
}

}  // namespace corvane::options
