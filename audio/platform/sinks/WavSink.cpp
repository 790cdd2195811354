#include "audio/platform/sinks/WavSink.h"

#include "audio/platform/util/RegularFile.h"
#include "audio/platform/util/UniqueFd.h"
#include "audio/platform/util/WholeTransfer.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

// One open WAV file and the frames it holds.
class WavRecording {
public:
    static std::shared_ptr<WavRecording> Create(const std::string& path);

    // Appends the frames, then rewrites the header to count them. False when they could not all be
    // written (the header then counts what was).
    bool Append(std::span<const float> frames);

private:
    explicit WavRecording(UniqueFd fd) : fd_(std::move(fd)) {}
    bool WriteAt(const void* bytes, std::size_t size, std::uint64_t offset);
    bool WriteHeader();

    static constexpr std::uint32_t FrameBytes = sizeof(float);
    // The RIFF size field counts the file less its first 8 bytes.
    static constexpr std::uint32_t MaxDataBytes = (0xFFFFFFFFu - (WavHeaderSize - 8)) / 4 * 4;

    UniqueFd fd_;
    std::uint32_t dataBytes_ = 0;
};

namespace {

void Put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace

std::shared_ptr<WavRecording> WavRecording::Create(const std::string& path) {
    // Never through a link, and truncated only when it is a regular file with no other name (or a
    // new one): a recording must not rewrite another file.
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644));
    if (!fd || !RegularFile(fd.Get(), true)) {
        return nullptr;
    }
    std::shared_ptr<WavRecording> recording(new WavRecording(std::move(fd)));
    if (!recording->WriteHeader()) {
        return nullptr;
    }
    return recording;
}

bool WavRecording::Append(std::span<const float> frames) {
    const std::size_t room = (MaxDataBytes - dataBytes_) / FrameBytes;
    const std::size_t count = std::min(frames.size(), room);
    const std::size_t bytes = count * FrameBytes;
    const bool written = WriteAt(frames.data(), bytes, WavHeaderSize + std::uint64_t{dataBytes_});
    if (written) {
        dataBytes_ += static_cast<std::uint32_t>(bytes);
    }
    return WriteHeader() && written && count == frames.size();
}

bool WavRecording::WriteAt(const void* bytes, std::size_t size, std::uint64_t offset) {
    const auto* start = static_cast<const char*>(bytes);
    const ssize_t written = TransferWhole(size, [&](std::size_t done) {
        return ::pwrite(fd_.Get(), start + done, size - done, static_cast<off_t>(offset + done));
    });
    return written == static_cast<ssize_t>(size);
}

// RIFF/WAVE with a format chunk for IEEE float (tag 3, with its extra-size field) and the fact
// chunk that non-PCM formats carry.
bool WavRecording::WriteHeader() {
    std::array<std::uint8_t, WavHeaderSize> header{};
    std::uint8_t* at = header.data();
    std::memcpy(at, "RIFF", 4);
    Put32(at + 4, WavHeaderSize - 8 + dataBytes_);
    std::memcpy(at + 8, "WAVEfmt ", 8);
    Put32(at + 16, 18);
    Put16(at + 20, 3);
    Put16(at + 22, 1);
    Put32(at + 24, SinkRate);
    Put32(at + 28, SinkRate * FrameBytes);
    Put16(at + 32, FrameBytes);
    Put16(at + 34, 32);
    Put16(at + 36, 0);
    std::memcpy(at + 38, "fact", 4);
    Put32(at + 42, 4);
    Put32(at + 46, dataBytes_ / FrameBytes);
    std::memcpy(at + 50, "data", 4);
    Put32(at + 54, dataBytes_);
    return WriteAt(header.data(), header.size(), 0);
}

namespace {

class WavSink final : public Sink {
public:
    WavSink(std::shared_ptr<WavRecording> recording, std::string path)
        : recording_(std::move(recording)), path_(std::move(path)) {}

    unsigned Rate() const override { return SinkRate; }
    std::size_t Period() const override { return 0; }
    std::size_t Capacity() const override { return 0; }
    std::size_t Cycle() const override { return 0; }
    DeviceState Poll() override { return {}; }
    void Drain(std::chrono::milliseconds /*limit*/) override {}

    bool Write(std::span<const float> frames) override {
        if (!recording_->Append(frames) && !failed_) {
            failed_ = true;
            std::fprintf(stderr, "progen: could not record all of the sound to %s\n",
                         path_.c_str());
        }
        return true;
    }

private:
    std::shared_ptr<WavRecording> recording_;
    std::string path_;
    bool failed_ = false;
};

} // namespace

OpenedSink WavRecordings::Open(const std::string& path) {
    MutexLock lock(mutex_);
    std::shared_ptr<WavRecording>& recording = recordings_[path];
    if (!recording) {
        recording = WavRecording::Create(path);
    }
    if (!recording) {
        recordings_.erase(path);
        return {nullptr, MMSYSERR_ERROR};
    }
    return {std::make_unique<WavSink>(recording, path), MMSYSERR_NOERROR};
}

} // namespace platform
