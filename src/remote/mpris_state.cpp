#include "remote/mpris_state.h"

#include <QUrl>

namespace corvane::remote {

QString PlaybackStatus(const MprisState& state) {
    return state.on || state.sounding ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

QString TrackId(const MprisState& state) {
    if (state.title.isEmpty()) return QString::fromLatin1(kNoTrack);
    return QStringLiteral("/org/corvane/track/%1").arg(state.track);
}

QVariantMap PlayerProperties(const MprisState& state) {
    QVariantMap metadata{{QStringLiteral("mpris:trackid"), TrackId(state)}};
    if (!state.title.isEmpty()) {
        metadata.insert(QStringLiteral("xesam:title"), state.title);
        if (!state.path.isEmpty())
            metadata.insert(QStringLiteral("xesam:url"),
                            QUrl::fromLocalFile(state.path).toString(QUrl::FullyEncoded));
        if (state.lengthUs > 0) metadata.insert(QStringLiteral("mpris:length"), state.lengthUs);
    }
    return {
        {QStringLiteral("PlaybackStatus"), PlaybackStatus(state)},
        {QStringLiteral("Metadata"), metadata},
        {QStringLiteral("CanPlay"), state.hasSongs},
        {QStringLiteral("CanPause"), state.on},
        {QStringLiteral("CanGoNext"), state.hasSongs},
    };
}

QVariantMap ChangedProperties(const QVariantMap& before, const QVariantMap& after) {
    QVariantMap changed;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (before.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
    }
    return changed;
}

PilotAction ActionFor(MprisCommand command, const MprisState& state) {
    switch (command) {
        case MprisCommand::Play:
            return !state.on && state.hasSongs ? PilotAction::Start : PilotAction::None;
        case MprisCommand::Pause:
            return state.on ? PilotAction::Stop : PilotAction::None;
        case MprisCommand::PlayPause:
            return ActionFor(state.on ? MprisCommand::Pause : MprisCommand::Play, state);
        case MprisCommand::Stop:
            return state.on || state.sounding ? PilotAction::Stop : PilotAction::None;
        case MprisCommand::Next:
            return state.hasSongs ? PilotAction::Next : PilotAction::None;
    }
    return PilotAction::None;
}

}  // namespace corvane::remote
