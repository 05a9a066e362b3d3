#include "audio/backends/portaudio_output.h"

#include <portaudio.h>

namespace corvane::audio {

namespace {

int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
             PaStreamCallbackFlags flags, void* self) {
    static_cast<PortAudioOutput*>(self)->Pull(static_cast<float*>(output), frames,
                                              (flags & paOutputUnderflow) != 0);
    return paContinue;
}

// Every stereo output device, by name and index, and the one `name` chooses.
PaDeviceIndex FindDevice(const QString& name, QStringList* names) {
    PaDeviceIndex exact = paNoDevice;
    PaDeviceIndex partial = paNoDevice;
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info == nullptr || info->maxOutputChannels < 2) continue;
        const QString deviceName = QString::fromUtf8(info->name);
        names->append(deviceName);
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
    if (!initialised_) {
        const PaError err = Pa_Initialize();
        if (err != paNoError) {
            *error = PaText(err);
            return false;
        }
        initialised_ = true;
    }
    names_.clear();
    const PaDeviceIndex device = FindDevice(request_.device, &names_);
    if (device == paNoDevice) {
        *error = QStringLiteral("no output device");
        return false;
    }
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    PaStreamParameters params{};
    params.device = device;
    params.channelCount = 2;
    params.sampleFormat = paFloat32;
    params.suggestedLatency = info != nullptr ? info->defaultLowOutputLatency : 0.05;
    PaStream* stream = nullptr;
    PaError err =
        Pa_OpenStream(&stream, nullptr, &params, request_.rate,
                      static_cast<unsigned long>(request_.bufferFrames), paNoFlag, Callback, this);
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
    if (stream_ == nullptr || Pa_IsStreamActive(stream_.get()) != 1) return false;
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

void PortAudioOutput::Pull(float* out, unsigned long frames, bool underflow) noexcept {
    callbacks_.fetch_add(1, std::memory_order_relaxed);
    if (underflow) underruns_.fetch_add(1, std::memory_order_relaxed);
    request_.render(request_.mixer, request_.owner, out, static_cast<int>(frames));
}

}  // namespace corvane::audio
