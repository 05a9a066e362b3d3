#include "audio/backends/portaudio_output.h"

#include <pa_linux_alsa.h>
#include <portaudio.h>

#include <algorithm>
#include <mutex>

namespace corvane::audio {

namespace {

// PortAudio's set-up calls are not thread-safe, and the headphone stream may be opened on its
// own probe thread while the main stream is checked or closed.
std::mutex& PaMutex() {
    static std::mutex mutex;
    return mutex;
}

int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* when,
             PaStreamCallbackFlags flags, void* self) {
    // When the block is heard, on the clock every stream of this process shares.
    double time = -1.0;
    if (when != nullptr)
        time = when->outputBufferDacTime > 0 ? when->outputBufferDacTime : when->currentTime;
    static_cast<PortAudioOutput*>(self)->Pull(static_cast<float*>(output), frames,
                                              (flags & paOutputUnderflow) != 0,
                                              time > 0 ? time : -1.0);
    return paContinue;
}

// Every stereo output device, by name, outputs and index, and the one `name` chooses.
PaDeviceIndex FindDevice(const QString& name, QStringList* names, QList<int>* channels) {
    PaDeviceIndex exact = paNoDevice;
    PaDeviceIndex partial = paNoDevice;
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info == nullptr || info->maxOutputChannels < 2) continue;
        const QString deviceName = QString::fromUtf8(info->name);
        names->append(deviceName);
        channels->append(info->maxOutputChannels);
        if (name.isEmpty()) continue;
        if (exact == paNoDevice && deviceName == name) exact = i;
        if (partial == paNoDevice && deviceName.contains(name, Qt::CaseInsensitive)) partial = i;
    }
    if (name.isEmpty()) return Pa_GetDefaultOutputDevice();
    return exact != paNoDevice ? exact : partial;
}

QString PaText(PaError error) { return QString::fromUtf8(Pa_GetErrorText(error)); }

}  // namespace

void PortAudioOutput::StreamCloser::operator()(void* stream) const {
    Pa_AbortStream(stream);
    Pa_CloseStream(stream);
}

PortAudioOutput::PortAudioOutput(DeviceRequest request) : request_(std::move(request)) {}

PortAudioOutput::~PortAudioOutput() { Stop(); }

bool PortAudioOutput::Start(QString* error) {
    std::lock_guard lock(PaMutex());
    if (!initialised_) {
        const PaError err = Pa_Initialize();
        if (err != paNoError) {
            *error = PaText(err);
            return false;
        }
        initialised_ = true;
    }
    names_.clear();
    channels_.clear();
    const PaDeviceIndex device = FindDevice(request_.device, &names_, &channels_);
    if (device == paNoDevice) {
        *error = QStringLiteral("no output device");
        return false;
    }
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    if (info != nullptr) opened_ = QString::fromUtf8(info->name);
    streamChannels_ = request_.pull == nullptr && request_.phonesOnChannels34 && info != nullptr &&
                              info->maxOutputChannels >= 4
                          ? 4
                          : 2;
    if (streamChannels_ == 4) {
        master_.assign(2 * static_cast<size_t>(DevicePeriodFrames(request_.bufferFrames)), 0.0f);
        phones_.assign(master_.size(), 0.0f);
    }
    PaStreamParameters params{};
    params.device = device;
    params.channelCount = streamChannels_;
    params.sampleFormat = paFloat32;
    // Two periods of one callback's frames: PortAudio's ALSA side asks for the latency plus a
    // period, in at least as many periods as it is told.
    const int period = DevicePeriodFrames(request_.bufferFrames);
    PaAlsa_SetNumPeriods(2);
    params.suggestedLatency = static_cast<double>(period) / request_.rate;
    PaStream* stream = nullptr;
    PaError err = Pa_OpenStream(&stream, nullptr, &params, request_.rate,
                                static_cast<unsigned long>(period), paNoFlag, Callback, this);
    if (err != paNoError) {
        *error = PaText(err);
        return false;
    }
    stream_.reset(stream);
    err = Pa_StartStream(stream);
    if (err != paNoError) {
        *error = PaText(err);
        stream_.reset();
        return false;
    }
    return true;
}

void PortAudioOutput::Stop() {
    std::lock_guard lock(PaMutex());
    stream_.reset();
    if (initialised_) Pa_Terminate();
    initialised_ = false;
}

// A stream left running while nothing plays costs the sound server's wake-ups and a callback
// per buffer; stopped, the machine sleeps. Starting it again takes about as long as a buffer.
void PortAudioOutput::Rest() {
    if (stream_ == nullptr || resting_) return;
    if (Pa_AbortStream(stream_.get()) == paNoError) resting_ = true;
}

void PortAudioOutput::PlayerStarted() {
    if (stream_ == nullptr || !resting_) return;
    resting_ = false;
    // Judged as a new stream: the sound server may take a moment to pull again.
    running_ = false;
    lastCallbacks_ = -1;
    stalledChecks_ = 0;
    // A stream that will not start (the device went while resting) counts as dead at the next
    // check, and is replaced.
    if (Pa_StartStream(stream_.get()) != paNoError) {
        lastCallbacks_ = callbacks_.load(std::memory_order_relaxed);
        stalledChecks_ = 8;
    }
}

bool PortAudioOutput::Healthy() {
    if (resting_) return true;
    std::unique_lock lock(PaMutex());
    const bool active = stream_ != nullptr && Pa_IsStreamActive(stream_.get()) == 1;
    lock.unlock();
    if (!active) return false;
    // A callback that stopped coming (the sound server went away) counts as dead after a
    // second. A sound server may take a few seconds to start a new stream: the callbacks that
    // fill its buffer at the start come at once, and then none until it begins to play, so
    // the stream counts as running only once they advanced between two checks.
    const long long now = callbacks_.load(std::memory_order_relaxed);
    const bool advanced = now != lastCallbacks_;
    if (advanced && lastCallbacks_ >= 0) running_ = true;
    stalledChecks_ = advanced ? 0 : stalledChecks_ + 1;
    lastCallbacks_ = now;
    return stalledChecks_ < (running_ ? 2 : 8);
}

void PortAudioOutput::Pull(float* out, unsigned long frames, bool underflow, double time) noexcept {
    callbacks_.fetch_add(1, std::memory_order_relaxed);
    if (underflow) underruns_.fetch_add(1, std::memory_order_relaxed);
    const int count = static_cast<int>(frames);
    if (request_.pull != nullptr) {
        request_.pull(request_.bridge, out, count, time);
        return;
    }
    if (streamChannels_ == 2) {
        request_.render(request_.mixer, request_.owner, out, count, nullptr, time);
        return;
    }
    // Master on channels 1 and 2, headphones on 3 and 4.
    const int room = static_cast<int>(master_.size() / 2);
    for (int at = 0; at < count; at += room) {
        const int n = std::min(room, count - at);
        request_.render(request_.mixer, request_.owner, master_.data(), n, phones_.data(),
                        time < 0 ? time : time + static_cast<double>(at) / request_.rate);
        float* to = out + 4 * at;
        for (int i = 0; i < n; ++i) {
            to[4 * i] = master_[2 * i];
            to[4 * i + 1] = master_[2 * i + 1];
            to[4 * i + 2] = phones_[2 * i];
            to[4 * i + 3] = phones_[2 * i + 1];
        }
    }
}

}  // namespace corvane::audio
