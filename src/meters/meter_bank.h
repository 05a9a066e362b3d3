#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

namespace corvane::meters {

// The meters' scale: -60 dBFS at the bottom, 0 dBFS at the top.
inline constexpr double kFloorDb = -60.0;
// A linear peak in dBFS, no lower than the floor.
double ToDb(float peak);
// Where `db` sits on the scale, 0 (floor) to 1 (0 dBFS).
double ScaleFraction(double db);

// What one meter channel shows: the bar rises at once and falls at a steady rate, the hold
// mark stays at the highest peak for a while and then falls the same way, and the clip light
// stays lit from a full-scale sample until it is reset.
class MeterChannel {
public:
    static constexpr double kFallDbPerSecond = 24.0;
    static constexpr int kHoldMs = 1500;
    // A sample at full scale lights the clip light.
    static constexpr float kClipPeak = 1.0f;

    // What a reading changed on screen: nothing, only the fall of the bar or hold mark, or
    // something to show at once (a rise, the clip light, the last step down to rest).
    enum class Change { kNone, kFall, kNow };

    // Takes the peak seen in the `elapsedMs` since the last call.
    Change Update(float peak, int elapsedMs);
    // True when it was lit.
    bool ResetClip() { return std::exchange(clipped_, false); }

    double LevelDb() const { return level_; }
    double HoldDb() const { return hold_; }
    bool Clipped() const { return clipped_; }
    // Bar and hold mark at the floor: nothing left to move.
    bool Resting() const { return level_ <= kFloorDb && hold_ <= kFloorDb; }

private:
    double level_ = kFloorDb;
    double hold_ = kFloorDb;
    int holdLeftMs_ = 0;
    bool clipped_ = false;
};

// Every meter of the window on one timer, which reads the peaks the audio thread published at
// most 30 times a second and says which meters changed. While nothing plays and every bar
// has fallen it stops; Wake starts it again.
class MeterBank : public QObject {
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 34;  // under 30 reads, and so repaints, a second
    // A meter that only falls is repainted at every third reading, ten times a second in
    // steps of 2.4 dB: a rise shows at once, and the repaints are most of the meters' cost.
    static constexpr int kFallEvery = 3;
    // Fills one peak per channel of a meter: the largest absolute sample since the last call.
    using Source = std::function<void(float* peaks)>;

    // `playing` tells whether anything can make a sound now.
    explicit MeterBank(std::function<bool()> playing, QObject* parent = nullptr);

    // A meter of one (mono) or two (stereo) channels; returns its index.
    int Add(int channels, Source source);
    int Count() const { return static_cast<int>(meters_.size()); }
    int Channels(int meter) const { return static_cast<int>(meters_.at(meter).channels.size()); }
    const MeterChannel& Channel(int meter, int channel) const {
        return meters_.at(meter).channels.at(channel);
    }
    // Puts out the meter's clip lights.
    void ResetClip(int meter);

    // Something may sound from now on (a player started): the timer runs until all is quiet.
    void Wake();
    bool Running() const { return timer_.isActive(); }
    // One reading, `elapsedMs` after the last; the timer runs it with the time that passed.
    void Step(int elapsedMs);

Q_SIGNALS:
    void Changed(int meter);

private:
    struct Meter {
        std::vector<MeterChannel> channels;
        Source source;
        int fallsHeld = 0;  // readings whose fall is not painted yet
    };

    std::function<bool()> playing_;
    std::vector<Meter> meters_;
    QTimer timer_;
    QElapsedTimer clock_;
};

}  // namespace corvane::meters
