#include "record/wav_writer.h"

#include <QFile>
#include <array>
#include <cstring>
#include <vector>

namespace corvane::record {

namespace {

constexpr int kHeaderBytes = 44;
constexpr int kRiffSizeAt = 4;
constexpr int kDataSizeAt = 40;
// The sizes are 32 bits: the RIFF size counts the whole file but its first 8 bytes.
constexpr int64_t kMaxData = 0xFFFFFFFFLL - (kHeaderBytes - 8);

void Put16(uint8_t* at, uint32_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* at, uint32_t v) {
    Put16(at, v & 0xFFFF);
    Put16(at + 2, v >> 16);
}

uint32_t Get32(const uint8_t* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

std::array<uint8_t, kHeaderBytes> Header(int rate, int bits, int64_t dataBytes) {
    std::array<uint8_t, kHeaderBytes> h{};
    const int block = 2 * bits / 8;
    std::memcpy(h.data(), "RIFF", 4);
    Put32(h.data() + kRiffSizeAt, static_cast<uint32_t>(dataBytes + kHeaderBytes - 8));
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    Put32(h.data() + 16, 16);
    Put16(h.data() + 20, 1);  // PCM
    Put16(h.data() + 22, 2);
    Put32(h.data() + 24, static_cast<uint32_t>(rate));
    Put32(h.data() + 28, static_cast<uint32_t>(rate * block));
    Put16(h.data() + 32, static_cast<uint32_t>(block));
    Put16(h.data() + 34, static_cast<uint32_t>(bits));
    std::memcpy(h.data() + 36, "data", 4);
    Put32(h.data() + kDataSizeAt, static_cast<uint32_t>(dataBytes));
    return h;
}

// Writes the two sizes in place; leaves the file position where it was.
bool PatchSizes(QFile& file, int64_t dataBytes) {
    const qint64 end = file.pos();
    std::array<uint8_t, 4> v{};
    Put32(v.data(), static_cast<uint32_t>(dataBytes + kHeaderBytes - 8));
    bool ok = file.seek(kRiffSizeAt) && file.write(reinterpret_cast<const char*>(v.data()), 4) == 4;
    Put32(v.data(), static_cast<uint32_t>(dataBytes));
    ok =
        ok && file.seek(kDataSizeAt) && file.write(reinterpret_cast<const char*>(v.data()), 4) == 4;
    return file.seek(end) && ok;
}

class WavEncoder : public Encoder {
public:
    WavEncoder(const QString& path, int rate, int bits) : file_(path), rate_(rate), bits_(bits) {}

    bool Open(QString* error) {
        const auto header = Header(rate_, bits_, 0);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) ||
            file_.write(reinterpret_cast<const char*>(header.data()), kHeaderBytes) !=
                kHeaderBytes) {
            if (error != nullptr) *error = file_.errorString();
            return false;
        }
        return true;
    }

    bool Write(const float* frames, int count) override {
        if (!error_.isEmpty()) return false;
        const int bytesPerSample = bits_ / 8;
        const int64_t bytes = static_cast<int64_t>(count) * 2 * bytesPerSample;
        if (data_ + bytes > kMaxData) return Fail(QStringLiteral("the WAV file is full (4 GB)"));
        buffer_.resize(static_cast<size_t>(bytes));
        uint8_t* at = buffer_.data();
        for (int i = 0; i < 2 * count; ++i) {
            const auto v = static_cast<uint32_t>(QuantiseSample(frames[i], bits_));
            for (int b = 0; b < bytesPerSample; ++b) *at++ = static_cast<uint8_t>(v >> (8 * b));
        }
        if (file_.write(reinterpret_cast<const char*>(buffer_.data()), bytes) != bytes)
            return Fail(file_.errorString());
        data_ += bytes;
        return true;
    }

    bool Flush() override {
        if (!error_.isEmpty()) return false;
        if (flushed_ == data_) return true;
        if (!PatchSizes(file_, data_)) return Fail(file_.errorString());
        flushed_ = data_;
        return true;
    }

    bool Finish() override {
        if (!file_.isOpen()) return error_.isEmpty();
        const bool ok = Flush();
        file_.close();
        return ok;
    }

    QString Error() const override { return error_; }
    int64_t Bytes() const override { return kHeaderBytes + data_; }

private:
    bool Fail(const QString& why) {
        if (error_.isEmpty()) error_ = why.isEmpty() ? QStringLiteral("write error") : why;
        return false;
    }

    QFile file_;
    int rate_;
    int bits_;
    int64_t data_ = 0;
    int64_t flushed_ = 0;
    std::vector<uint8_t> buffer_;
    QString error_;
};

}  // namespace

std::unique_ptr<Encoder> OpenWavFile(const QString& path, int rate, int bits, QString* error) {
    auto encoder = std::make_unique<WavEncoder>(path, rate, bits == 24 ? 24 : 16);
    if (!encoder->Open(error)) return nullptr;
    return encoder;
}

WavRepair RepairWav(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        if (error != nullptr) *error = file.errorString();
        return WavRepair::Failed;
    }
    std::array<uint8_t, kHeaderBytes> h{};
    if (file.read(reinterpret_cast<char*>(h.data()), kHeaderBytes) != kHeaderBytes ||
        std::memcmp(h.data(), "RIFF", 4) != 0 || std::memcmp(h.data() + 8, "WAVEfmt ", 8) != 0 ||
        Get32(h.data() + 16) != 16 || std::memcmp(h.data() + 36, "data", 4) != 0)
        return WavRepair::NotOurs;
    const uint32_t block = h[32] | (h[33] << 8);
    if (block == 0) return WavRepair::NotOurs;
    const int64_t present = std::min<int64_t>(file.size() - kHeaderBytes, kMaxData);
    const int64_t data = present - present % block;
    if (Get32(h.data() + kDataSizeAt) == data &&
        Get32(h.data() + kRiffSizeAt) == data + kHeaderBytes - 8)
        return WavRepair::Intact;
    if (!file.seek(kHeaderBytes) || !PatchSizes(file, data)) {
        if (error != nullptr) *error = file.errorString();
        return WavRepair::Failed;
    }
    return WavRepair::Repaired;
}

}  // namespace corvane::record
