#include "options/ui/headphone_section.h"

#include <QComboBox>
#include <QDial>
#include <QGridLayout>
#include <QLabel>

#include "audio/engine.h"
#include "settings/keys.h"
#include "settings/settings.h"

namespace corvane::options {

namespace {

const QString kChannels34 =
    audio::HeadphoneTarget{audio::HeadphoneTarget::MainChannels, {}}.ToSetting();

QDial* Knob(const char* name, const char* hint) {
    auto* dial = new QDial;
    dial->setObjectName(QLatin1String(name));
    dial->setToolTip(QLatin1String(hint));
    dial->setRange(0, 100);
    dial->setNotchesVisible(true);
    dial->setFixedSize(56, 56);
    return dial;
}

}  // namespace

HeadphoneSection::HeadphoneSection(Settings& settings, HeadphoneHost& host, QWidget* parent)
    : QGroupBox(QStringLiteral("Headphones"), parent), settings_(settings), host_(host) {
    setObjectName(QStringLiteral("HeadphoneSection"));
    target_ = new QComboBox;
    target_->setObjectName(QStringLiteral("Headphones"));
    target_->setToolTip(QStringLiteral(
        "Sets where the cued lines are heard: another sound card, or channels 3 and 4 of the "
        "main one"));
    mix_ = Knob("CueMix", "Blends the cued lines (left) with the master (right) in the headphones");
    level_ = Knob("HeadphoneLevel", "Sets the headphone level");
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Headphones:")), 0, 0);
    grid->addWidget(target_, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Cue/Mix:")), 1, 0);
    grid->addWidget(mix_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Level:")), 1, 2);
    grid->addWidget(level_, 1, 3);
    Fill();
    mix_->setValue(settings_.GetInt(keys::kCueMix));
    level_->setValue(settings_.GetInt(keys::kHeadphoneLevel));
    connect(target_, &QComboBox::activated, this, &HeadphoneSection::TargetChosen);
    connect(mix_, &QDial::valueChanged, this, [this](int value) {
        settings_.SavePref(keys::kCueMix, value);
        host_.SetCueMix(value);
    });
    connect(level_, &QDial::valueChanged, this, [this](int value) {
        settings_.SavePref(keys::kHeadphoneLevel, value);
        host_.SetHeadphoneLevel(value);
    });
}

void HeadphoneSection::Fill() {
    const QString main = settings_.GetText(keys::kAudioDevice);
    target_->clear();
    target_->addItem(QLatin1String(kNone), QString());
    for (const QString& name : host_.OutputDevices())
        if (name != main) target_->addItem(name, name);
    if (host_.DeviceChannels(main) >= 4) {
        target_->addItem(QStringLiteral("Channels 3–4 of %1")
                             .arg(main.isEmpty() ? QStringLiteral("the default device") : main),
                         kChannels34);
    }
    const QString chosen = settings_.GetText(keys::kHeadphones);
    int row = target_->findData(chosen);
    if (row < 0) {
        // Not there now (unplugged): stays chosen until the user picks another.
        target_->addItem(chosen == kChannels34 ? QStringLiteral("Channels 3–4") : chosen, chosen);
        row = target_->count() - 1;
    }
    target_->setCurrentIndex(row);
}

void HeadphoneSection::TargetChosen() {
    const QString setting = target_->currentData().toString();
    settings_.SavePref(keys::kHeadphones, setting);
    host_.SetHeadphones(setting);
}

}  // namespace corvane::options
