#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <functional>

#include "remote/mpris_state.h"

namespace corvane::mpris {

// What the desktop's media controls may ask of the program.
struct MprisHooks {
    std::function<void(remote::PilotAction)> act;
    std::function<void()> raise;
    std::function<void()> quit;
    // A local file opened from the desktop ("OpenUri"), as a later start's file would be.
    std::function<void(const QString& path)> open;
    // Where in the current song the AutoPilot is; 0 when nothing plays.
    std::function<qint64()> positionUs;
};

// The AutoPilot on the session bus as an MPRIS media player: the root and Player interfaces
// at /org/mpris/MediaPlayer2, PropertiesChanged at every change of the state it is given.
class MprisService : public QObject {
    Q_OBJECT

public:
    static constexpr char kServiceName[] = "org.mpris.MediaPlayer2.corvane";
    static constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
    static constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

    MprisService(QDBusConnection bus, MprisHooks hooks, QObject* parent = nullptr);
    ~MprisService() override;

    // Exports the object and takes the name (a second program with its own settings takes the
    // name with ".instance<pid>" added). False when the bus is not there or refuses.
    bool Register();
    QString ServiceName() const { return serviceName_; }

    // The AutoPilot changed: the properties that differ go out in one PropertiesChanged.
    void SetState(const remote::MprisState& state);
    const remote::MprisState& State() const { return state_; }

    // For the adaptors.
    void Command(remote::MprisCommand command);
    void Raise();
    void Quit();
    void OpenUri(const QString& uri);
    QVariant Property(const QString& name) const;
    qint64 PositionUs() const;

private:
    QDBusConnection bus_;
    MprisHooks hooks_;
    QString serviceName_;
    remote::MprisState state_;
    QVariantMap properties_;
    bool registered_ = false;
};

// org.mpris.MediaPlayer2
class RootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    explicit RootAdaptor(MprisService* service);

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Corvane"); }
    QString DesktopEntry() const { return QStringLiteral("corvane"); }
    QStringList SupportedUriSchemes() const { return {QStringLiteral("file")}; }
    QStringList SupportedMimeTypes() const;

public Q_SLOTS:
    void Raise() { service_->Raise(); }
    void Quit() { service_->Quit(); }

private:
    MprisService* service_;
};

// org.mpris.MediaPlayer2.Player: the AutoPilot. Its songs are not seekable and play at one
// rate; Seek, SetPosition, Previous and the volume do nothing, as the interface allows.
class PlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ Never)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ Never)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    explicit PlayerAdaptor(MprisService* service);

    QString PlaybackStatus() const;
    double Rate() const { return 1.0; }
    void SetRate(double) {}
    QVariantMap Metadata() const;
    double Volume() const { return 1.0; }
    void SetVolume(double) {}
    qlonglong Position() const { return service_->PositionUs(); }
    bool CanGoNext() const;
    bool CanPlay() const;
    bool CanPause() const;
    bool CanControl() const { return true; }
    bool Never() const { return false; }

public Q_SLOTS:
    void Next() { service_->Command(remote::MprisCommand::Next); }
    void Previous() {}
    void Pause() { service_->Command(remote::MprisCommand::Pause); }
    void PlayPause() { service_->Command(remote::MprisCommand::PlayPause); }
    void Stop() { service_->Command(remote::MprisCommand::Stop); }
    void Play() { service_->Command(remote::MprisCommand::Play); }
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString& uri) { service_->OpenUri(uri); }

Q_SIGNALS:
    void Seeked(qlonglong position);

private:
    MprisService* service_;
};

}  // namespace corvane::mpris
