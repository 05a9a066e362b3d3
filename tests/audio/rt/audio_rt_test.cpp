// Proves that the audio path never allocates: operator new (and, outside sanitizer builds,
// malloc) abort when called on a thread that is inside the mixer.
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "audio/clock_bridge.h"
#include "audio/mixer.h"
#include "audio_support.h"

namespace {
[[noreturn]] void AllocatedInCallback() {
    std::fputs("allocation inside the audio callback\n", stderr);
    std::abort();
}
void* Allocate(std::size_t size) {
    if (corvane::audio::InAudioCallback()) AllocatedInCallback();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (corvane::audio::InAudioCallback()) AllocatedInCallback();
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    if (p != nullptr && corvane::audio::InAudioCallback()) AllocatedInCallback();
    std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

#if !defined(__SANITIZE_ADDRESS__)
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);
void* malloc(std::size_t size) {
    if (corvane::audio::InAudioCallback()) AllocatedInCallback();
    return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) {
    if (corvane::audio::InAudioCallback()) AllocatedInCallback();
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) {
    if (corvane::audio::InAudioCallback()) AllocatedInCallback();
    return __libc_realloc(p, size);
}
void free(void* p) {
    if (p != nullptr && corvane::audio::InAudioCallback()) AllocatedInCallback();
    __libc_free(p);
}
}
#endif

namespace corvane::audio::testing {
namespace {

class EngineRealTime : public OfflineEngineTest {
protected:
    void PlayEight(Engine& engine) {
        for (int i = 0; i < 8; ++i) {
            MediaPlayer* p = i < 6 ? engine.Player(i + 1) : engine.AP(i - 6);
            const QString file =
                Fixture("bench_60s_") + QString::number(i + 1) + QStringLiteral(".mp3");
            ASSERT_TRUE(Open(p, file)) << p->LastError().toStdString();
            p->SetVolume(-600 * i);
            p->SetBalance(i % 2 == 0 ? -3360 : 3360);
            p->SetRepeatCount(2);
            p->Play();
        }
    }
};

TEST_F(EngineRealTime, OfflineRendererNeverAllocatesInTheMixer) {
    PlayEight(*engine_);
    // A recorder's tap that nobody reads: it fills, so the copying and the dropping both run.
    MasterTap tap(4096);
    engine_->AttachTap(kRecordTap, &tap);
    engine_->SetHeadphones({HeadphoneTarget::MainChannels, {}});
    std::vector<float> out(2 * 4096), phones(2 * 4096);
    // Seek, change levels, loop, cue and switch the limiter while rendering, so every
    // audio-thread path runs.
    for (int round = 0; round < 20; ++round) {
        for (int done = 0; done < 44100; done += 4096)
            engine_->RenderOffline(out.data(), 4096, phones.data());
        engine_->SetCue(round % 7, round % 2 == 0);
        engine_->SetHeadphoneMix(round / 20.0f);
        engine_->Player(1)->SetVolume(-50 * round);
        engine_->AP(0)->SetPosition(59.5);
        engine_->Player(3)->Stop();
        engine_->Player(3)->Play();
        engine_->SetLimiter(round % 3 != 0);
    }
    engine_->DetachTap(kRecordTap);
    EXPECT_EQ(engine_->Player(2)->PlayState(), 2);
    EXPECT_GT(engine_->Player(2)->Position(), 19.0);
    EXPECT_GT(tap.DroppedFrames(), 0);
}

TEST(ClockBridgeRealTime, HeadphoneBridgeNeverAllocates) {
    ClockBridge bridge(44100, 32768, 1280);
    Mixer mixer({}, 44100);
    mixer.SetBridge(&bridge);
    std::vector<float> out(1024), phones(1024);
    for (int i = 0; i < 200; ++i) {
        mixer.Render(0, out.data(), 512, nullptr, i * 0.0116);
        Mixer::PullPhones(&bridge, phones.data(), 512, i * 0.0116 + 0.001);
    }
    EXPECT_EQ(bridge.Dropouts(), 0);
}

TEST_F(EngineRealTime, NullOutputNeverAllocatesInTheMixer) {
    engine_.reset();
    EngineOptions options;
    options.output = OutputKind::Null;
    options.bufferFrames = 256;
    Engine engine(options, TestFactory);
    PlayEight(engine);
    WaitFor([] { return false; }, 1500);
    engine.AP(1)->SetPosition(59.9);
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(engine.Player(1)->PlayState(), 2);
    EXPECT_GT(engine.Player(1)->Position(), 1.5);
    EXPECT_TRUE(engine.PlayingSilently());
}

}  // namespace
}  // namespace corvane::audio::testing
