#include "broadcast/broadcast_session.h"

#include <gtest/gtest.h>

#include "broadcast_fakes.h"

namespace corvane::broadcast {
namespace {

using namespace std::chrono_literals;
using namespace testing;
using Progress = StreamConnection::Progress;

class SessionTest : public ::testing::Test {
protected:
    SessionTest() : session_({&connection_, &encoder_, &source_, &clock_}, 44100) {
        settings_.password = QStringLiteral("Sesame-8812");
    }

    // Steps until the state changes or `limit` of fake time has gone by.
    BroadcastState StepFor(std::chrono::milliseconds limit) {
        const BroadcastState from = session_.State();
        for (auto spent = 0ms; spent < limit && session_.State() == from; spent += 10ms) {
            session_.Step();
            clock_.Advance(10ms);
        }
        return session_.State();
    }
    void GoOnAir() {
        session_.Start(settings_);
        session_.Step();
        ASSERT_EQ(session_.State(), BroadcastState::OnAir);
    }

    FakeConnection connection_;
    FakeEncoder encoder_;
    FakeSource source_;
    FakeClock clock_;
    BroadcastSettings settings_;
    BroadcastSession session_;
};

// The delays double from one second up to thirty, and start again from one once on the air.
TEST_F(SessionTest, RetriesALostServerAtGrowingDelaysAndResumesWhenItReturns) {
    GoOnAir();
    connection_.broken = true;
    session_.Step();
    EXPECT_EQ(session_.State(), BroadcastState::Retrying);
    EXPECT_EQ(session_.LastFailure(), Failure::Lost);
    connection_.broken = false;
    connection_.opens.assign(6, {Progress::Failed, Failure::Unreachable});
    std::vector<long long> delays{session_.RetryDelay().count()};
    for (int attempt = 0; attempt < 6; ++attempt) {
        const auto waited = clock_.Now();
        ASSERT_EQ(StepFor(40s), BroadcastState::Connecting);
        EXPECT_GE(clock_.Now() - waited, std::chrono::seconds(delays.back()));
        session_.Step();
        ASSERT_EQ(session_.State(), BroadcastState::Retrying);
        delays.push_back(session_.RetryDelay().count());
    }
    EXPECT_EQ(delays, (std::vector<long long>{1, 2, 4, 8, 16, 30, 30}));
    EXPECT_EQ(StepFor(40s), BroadcastState::Connecting);
    session_.Step();
    EXPECT_EQ(session_.State(), BroadcastState::OnAir);
    EXPECT_EQ(session_.LastFailure(), Failure::None);
    // Back on the air, the next loss is retried after one second again.
    connection_.broken = true;
    session_.Step();
    EXPECT_EQ(session_.RetryDelay(), 1s);
}

TEST_F(SessionTest, GivesUpOnlyOnAWrongNameOrPasswordBeforeEverBeingOnTheAir) {
    struct Case {
        Failure failure;
        bool wasOnAir;
        BroadcastState after;
    };
    const Case cases[] = {
        {Failure::UnknownServer, false, BroadcastState::Off},
        {Failure::LoginRefused, false, BroadcastState::Off},
        {Failure::Untrusted, false, BroadcastState::Off},
        {Failure::MountTaken, false, BroadcastState::Retrying},
        {Failure::Unreachable, false, BroadcastState::Retrying},
        {Failure::LoginRefused, true, BroadcastState::Retrying},
        {Failure::UnknownServer, true, BroadcastState::Retrying},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.failure));
        session_.Start(settings_);
        if (c.wasOnAir) {
            session_.Step();
            connection_.broken = true;
            session_.Step();
            connection_.broken = false;
            StepFor(2s);
        }
        connection_.opens = {{Progress::Failed, c.failure}};
        session_.Step();
        EXPECT_EQ(session_.State(), c.after);
        EXPECT_EQ(session_.LastFailure(), c.failure);
        EXPECT_FALSE(FailureText(c.failure, settings_).isEmpty());
    }
}

// Connects, sends the encoded mix, and leaves a server that never answers or stops reading.
TEST_F(SessionTest, ConnectsAndSendsButLeavesAServerThatNeverAnswersOrStopsReading) {
    connection_.opens = {{Progress::Pending}};
    connection_.pending = true;
    session_.Start(settings_);
    session_.Step();
    EXPECT_EQ(session_.State(), BroadcastState::Connecting);
    EXPECT_EQ(StepFor(BroadcastSession::kConnectTimeout + 1s), BroadcastState::Retrying);
    EXPECT_EQ(session_.LastFailure(), Failure::NoAnswer);

    connection_.pending = false;
    StepFor(2s);
    session_.Step();
    ASSERT_EQ(session_.State(), BroadcastState::OnAir);
    source_.pending = 5000;
    session_.Step();
    EXPECT_EQ(connection_.sent, 5000u);
    connection_.serverReads = false;
    source_.pending = 1000;
    EXPECT_EQ(StepFor(BroadcastSession::kStallTimeout + 1s), BroadcastState::Retrying);
    EXPECT_EQ(session_.LastFailure(), Failure::NoAnswer);
    EXPECT_FALSE(connection_.open);
}

TEST_F(SessionTest, ASlowServerLosesTheMixCountedInsteadOfQueueingWithoutEnd) {
    GoOnAir();
    connection_.serverReads = false;
    connection_.queued =
        static_cast<size_t>(settings_.bitrate) * 1000 / 8 * (BroadcastSession::kQueueSeconds + 1);
    source_.pending = 4410;
    session_.Step();
    EXPECT_EQ(connection_.sent, 0u);
    EXPECT_EQ(session_.DroppedFrames(), 4410);
    session_.Stop();
    EXPECT_EQ(session_.State(), BroadcastState::Off);
    EXPECT_FALSE(connection_.open);
}

TEST_F(SessionTest, TitlesGoToTheServerForMp3AndIntoANewChainedStreamForOgg) {
    session_.SetTitle(QStringLiteral("Before"));
    GoOnAir();
    session_.Step();
    session_.SetTitle(QStringLiteral("Second Song"));
    session_.Step();
    EXPECT_EQ(connection_.titles,
              (std::vector<QString>{QStringLiteral("Before"), QStringLiteral("Second Song")}));

    settings_.format = StreamFormat::OggVorbis;
    GoOnAir();
    const int starts = encoder_.starts;
    EXPECT_EQ(encoder_.lastTitle, QStringLiteral("Second Song"));
    session_.SetTitle(QStringLiteral("Third Song"));
    session_.Step();
    EXPECT_EQ(encoder_.starts, starts + 1);
    EXPECT_EQ(encoder_.lastTitle, QStringLiteral("Third Song"));
    EXPECT_EQ(connection_.titles.size(), 2u);
}

TEST_F(SessionTest, StatusTextsTellTheStateAndNeverThePassword) {
    const std::pair<BroadcastState, Failure> states[] = {
        {BroadcastState::Connecting, Failure::None}, {BroadcastState::OnAir, Failure::None},
        {BroadcastState::Retrying, Failure::Lost},   {BroadcastState::Off, Failure::LoginRefused},
        {BroadcastState::Off, Failure::MountTaken},
    };
    for (const auto& [state, failure] : states) {
        const QString text = StatusText(state, failure, 4s, 12, settings_);
        EXPECT_FALSE(text.isEmpty());
        EXPECT_FALSE(text.contains(settings_.password));
    }
    EXPECT_TRUE(StatusText(BroadcastState::Retrying, Failure::Lost, 4s, 0, settings_)
                    .contains(QStringLiteral("Retrying in 4 s")));
}

}  // namespace
}  // namespace corvane::broadcast
