#include "mpris/mpris_service.h"

#include <unistd.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QMetaObject>
#include <QUrl>

namespace corvane::mpris {

using remote::MprisCommand;
using remote::MprisState;

namespace {

constexpr char kPropertiesInterface[] = "org.freedesktop.DBus.Properties";
const QString kTrackIdKey = QStringLiteral("mpris:trackid");

// The track id travels as an object path, not as text.
QVariant OnTheBus(const QString& name, const QVariant& value) {
    if (name != QLatin1String("Metadata")) return value;
    QVariantMap metadata = value.toMap();
    metadata.insert(kTrackIdKey,
                    QVariant::fromValue(QDBusObjectPath(metadata.value(kTrackIdKey).toString())));
    return metadata;
}

}  // namespace

MprisService::MprisService(QDBusConnection bus, MprisHooks hooks, QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      hooks_(std::move(hooks)),
      properties_(remote::PlayerProperties(state_)) {
    new RootAdaptor(this);
    new PlayerAdaptor(this);
}

MprisService::~MprisService() {
    if (!registered_) return;
    bus_.unregisterService(serviceName_);
    bus_.unregisterObject(QLatin1String(kObjectPath));
}

bool MprisService::Register() {
    if (registered_) return true;
    if (!bus_.isConnected()) return false;
    if (!bus_.registerObject(QLatin1String(kObjectPath), this, QDBusConnection::ExportAdaptors))
        return false;
    serviceName_ = QLatin1String(kServiceName);
    if (!bus_.registerService(serviceName_)) {
        serviceName_ += QStringLiteral(".instance%1").arg(::getpid());
        if (!bus_.registerService(serviceName_)) {
            bus_.unregisterObject(QLatin1String(kObjectPath));
            serviceName_.clear();
            return false;
        }
    }
    registered_ = true;
    return true;
}

void MprisService::SetState(const MprisState& state) {
    if (state == state_) return;
    state_ = state;
    QVariantMap properties = remote::PlayerProperties(state_);
    const QVariantMap changed = remote::ChangedProperties(properties_, properties);
    properties_ = std::move(properties);
    if (!registered_ || changed.isEmpty()) return;
    QVariantMap sent;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        sent.insert(it.key(), OnTheBus(it.key(), it.value()));
    QDBusMessage signal =
        QDBusMessage::createSignal(QLatin1String(kObjectPath), QLatin1String(kPropertiesInterface),
                                   QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(kPlayerInterface) << sent << QStringList();
    bus_.send(signal);
}

void MprisService::Command(MprisCommand command) {
    const remote::PilotAction action = remote::ActionFor(command, state_);
    if (action != remote::PilotAction::None && hooks_.act) hooks_.act(action);
}

void MprisService::Raise() {
    if (hooks_.raise) hooks_.raise();
}

void MprisService::Quit() {
    // After the answer has gone out: the exit sequence takes the bus connection down.
    if (hooks_.quit) QMetaObject::invokeMethod(this, hooks_.quit, Qt::QueuedConnection);
}

void MprisService::OpenUri(const QString& uri) {
    const QUrl url(uri);
    if (url.isLocalFile() && hooks_.open) hooks_.open(url.toLocalFile());
}

QVariant MprisService::Property(const QString& name) const {
    return OnTheBus(name, properties_.value(name));
}

qint64 MprisService::PositionUs() const { return hooks_.positionUs ? hooks_.positionUs() : 0; }

RootAdaptor::RootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

QStringList RootAdaptor::SupportedMimeTypes() const {
    return {QStringLiteral("audio/mpeg"),      QStringLiteral("audio/x-wav"),
            QStringLiteral("audio/flac"),      QStringLiteral("audio/ogg"),
            QStringLiteral("audio/mp4"),       QStringLiteral("audio/midi"),
            QStringLiteral("audio/x-mpegurl"), QStringLiteral("audio/x-scpls")};
}

PlayerAdaptor::PlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

QString PlayerAdaptor::PlaybackStatus() const { return remote::PlaybackStatus(service_->State()); }
QVariantMap PlayerAdaptor::Metadata() const {
    return service_->Property(QStringLiteral("Metadata")).toMap();
}
bool PlayerAdaptor::CanGoNext() const { return service_->State().hasSongs; }
bool PlayerAdaptor::CanPlay() const { return service_->State().hasSongs; }
bool PlayerAdaptor::CanPause() const { return service_->State().on; }

}  // namespace corvane::mpris
