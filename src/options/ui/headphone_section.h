#pragma once

#include <QGroupBox>
#include <QString>
#include <QStringList>

class QComboBox;
class QDial;

namespace corvane {
class Settings;
}

namespace corvane::options {

// What the headphone choices need of the program.
class HeadphoneHost {
public:
    virtual ~HeadphoneHost() = default;
    // The output devices by name, as the Audio tab's device list has them.
    virtual QStringList OutputDevices() const = 0;
    // Outputs of the device `name` (empty: the one playing now); 0 when unknown.
    virtual int DeviceChannels(const QString& name) const = 0;
    // The "Headphones" setting's text, applied at once.
    virtual void SetHeadphones(const QString& setting) = 0;
    // "CueMix" and "HeadphoneLevel", in percent.
    virtual void SetCueMix(int percent) = 0;
    virtual void SetHeadphoneLevel(int percent) = 0;
};

// The Audio tab's "Headphones" group: where pre-listen is heard, the Cue/Mix blend and the
// headphone level. Shows the settings when made; each change is stored and applied at once.
class HeadphoneSection : public QGroupBox {
    Q_OBJECT

public:
    static constexpr char kNone[] = "None";

    HeadphoneSection(Settings& settings, HeadphoneHost& host, QWidget* parent = nullptr);
    // Lists the choices again, e.g. once the main device changed.
    void Fill();

private:
    void TargetChosen();

    Settings& settings_;
    HeadphoneHost& host_;
    QComboBox* target_;
    QDial* mix_;
    QDial* level_;
};

}  // namespace corvane::options
