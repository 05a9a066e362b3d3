#pragma once

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

#include "engine/crossfader.h"
#include "engine/desk.h"
#include "settings/settings.h"
#include "support/desk_fakes.h"
#include "support/temp_settings.h"

namespace corvane::engine::testing {

inline QStringList Strings(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items) list.append(QString::fromUtf8(item));
    return list;
}

// A desk over fake players, fake fade timers and a settings file in a temporary folder.
class DeskTest : public ::testing::Test, public TempSettings {
protected:
    DeskTest() {
        DeskPlayers players;
        for (int i = 1; i <= 6; ++i) players.line[i] = &line_[i];
        players.ap = {&ap_[0], &ap_[1]};
        desk_ = std::make_unique<Desk>(players, settings_, fader_,
                                       [this](const QString& directory, const QString& fileName) {
                                           loadedPlaylist_ = directory + fileName;
                                           return playlistLoads_;
                                       });
        QObject::connect(desk_.get(), &Desk::MessageRequested,
                         [this](const QString& text) { messages_.append(text); });
    }

    void ClearLogs() {
        for (auto& player : line_) player.TakeLog();
        for (auto& player : ap_) player.TakeLog();
    }

    FakeTimers timers_;
    CrossfaderModel fader_{timers_.Factory()};
    std::array<FakeLinePlayer, 7> line_;
    std::array<FakeLinePlayer, 2> ap_;
    bool playlistLoads_ = true;
    QString loadedPlaylist_;
    QStringList messages_;
    std::unique_ptr<Desk> desk_;
};

}  // namespace corvane::engine::testing
