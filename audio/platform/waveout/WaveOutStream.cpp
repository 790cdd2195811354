#include "audio/platform/waveout/WaveOutStream.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>

namespace platform {
namespace {

// A buffer shorter than this is repeated up to it, so that the converter is not called back for
// every few samples.
constexpr std::size_t WorthyLength = 512;

std::vector<std::int16_t> Repeated(std::vector<std::int16_t> buffer, std::uint64_t loops) {
    if (buffer.empty()) {
        return buffer;
    }
    const std::uint64_t repeats =
        std::min<std::uint64_t>(loops, (WorthyLength + buffer.size() - 1) / buffer.size());
    if (repeats <= 1) {
        return buffer;
    }
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(repeats) * buffer.size());
    for (std::uint64_t i = 0; i < repeats; ++i) {
        samples.insert(samples.end(), buffer.begin(), buffer.end());
    }
    return samples;
}

void HandBack(WAVEHDR& header) {
    SetHeaderFlags(header, (HeaderFlags(header) | WHDR_DONE) & ~WHDR_INQUEUE);
}

} // namespace

Fader::Fader(std::size_t length, bool up) : length_(length), step_(up ? length : 0), rising_(up) {}

float Fader::Next() {
    if (rising_ && step_ == length_) {
        return 1.0f;
    }
    if (rising_) {
        ++step_;
    } else if (step_ > 0) {
        --step_;
    }
    const double angle =
        std::numbers::pi * static_cast<double>(step_) / static_cast<double>(length_);
    return static_cast<float>(0.5 - 0.5 * std::cos(angle));
}

WaveOutStream::WaveOutStream(unsigned rate, unsigned sinkRate, bool paused)
    : rate_(rate), sinkRate_(sinkRate), paused_(paused),
      fader_(static_cast<std::size_t>(sinkRate * FadeTime.count() / 1'000'000), !paused) {}

WaveOutStream::~WaveOutStream() = default;

void WaveOutStream::Queue(WAVEHDR& header, std::vector<std::int16_t> buffer, std::uint64_t loops) {
    const std::uint64_t frames = buffer.size() * loops;
    if (frames == 0 && blocks_.empty()) {
        HandBack(header);
        return;
    }
    blocks_.push_back(Block{&header, Repeated(std::move(buffer), loops), frames});
    SetHeaderFlags(header, (HeaderFlags(header) & ~WHDR_DONE) | WHDR_INQUEUE);
}

bool WaveOutStream::InQueue(const WAVEHDR& header) const {
    return std::ranges::any_of(blocks_,
                               [&](const Block& block) { return block.header == &header; });
}

bool WaveOutStream::HasQueue() const {
    return std::ranges::any_of(blocks_, [](const Block& block) { return block.header != nullptr; });
}

void WaveOutStream::HandBackAll() {
    for (Block& block : blocks_) {
        if (block.header) {
            HandBack(*block.header);
            block.header = nullptr;
        }
    }
}

void WaveOutStream::Pause() {
    paused_ = true;
    if (MidSound()) {
        fader_.Fall();
    } else {
        fader_.Jump(false);
    }
}

void WaveOutStream::Restart() {
    paused_ = false;
    if (RunHasOutput()) {
        fader_.Rise();
    } else {
        fader_.Jump(true);
    }
}

std::uint64_t WaveOutStream::Position() const {
    return (handedOn_ * rate_ + sinkRate_ / 2) / sinkRate_;
}

bool WaveOutStream::HasFramesToMix() const {
    return !fader_.Silent() && !blocks_.empty() && !drained_;
}

std::size_t WaveOutStream::MixInto(std::span<float> mix, std::span<float> fading, Role role) {
    if (!HasFramesToMix()) {
        return 0;
    }
    std::size_t wanted = mix.size();
    if (fader_.Falling()) {
        wanted = std::min(wanted, fader_.FramesToSilence());
    }
    if (!converter_) {
        try {
            converter_ = std::make_unique<RateConverter>(
                rate_, sinkRate_, [this](std::size_t most) { return Feed(most); });
        } catch (const std::bad_alloc&) {
            // Unplayable: give everything back rather than keep a caller waiting for it.
            HandBackAll();
            blocks_.clear();
            return 0;
        }
    }
    converted_.resize(wanted);
    const std::size_t got = converter_->Convert(converted_);
    if (got < wanted) {
        drained_ = true;
    }
    if (fading.empty() && fader_.Full()) {
        // Nearly every round: full gain and nothing to make room for.
        for (std::size_t i = 0; i < got; ++i) {
            mix[i] += converted_[i];
        }
    } else {
        for (std::size_t i = 0; i < got; ++i) {
            const float gain = fader_.Next();
            if (role == Role::Fading) {
                mix[i] += gain * converted_[i];
                fading[i] += gain;
            } else {
                const float room = fading.empty() ? 1.0f : 1.0f - fading[i];
                mix[i] += gain * room * converted_[i];
            }
        }
    }
    runOutput_ += got;
    mixed_ += got;
    return got;
}

bool WaveOutStream::HandBackPlayed() {
    handedOn_ = mixed_;
    bool handedBack = false;
    while (!blocks_.empty()) {
        Block& block = blocks_.front();
        // The output frame at the input time of the block's end, rounded up.
        const std::uint64_t endFrame = (block.end * sinkRate_ + rate_ - 1) / rate_;
        if (!block.started || (!drained_ && runOutput_ < endFrame)) {
            break;
        }
        if (block.header) {
            HandBack(*block.header);
            handedBack = true;
        }
        blocks_.pop_front();
        if (feeding_ > 0) {
            --feeding_;
        }
    }
    if (drained_) {
        StartRun(); // the blocks left came after the input had ended
    }
    return handedBack;
}

std::span<const std::int16_t> WaveOutStream::Feed(std::size_t most) {
    while (!ended_ && feeding_ < blocks_.size()) {
        Block& block = blocks_[feeding_];
        if (!block.started) {
            block.started = true;
            block.end = runInput_ + block.frames;
        }
        if (fed_ < block.frames) {
            const std::size_t offset = static_cast<std::size_t>(fed_ % block.samples.size());
            const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(
                {most, block.samples.size() - offset, block.frames - fed_}));
            fed_ += count;
            runInput_ += count;
            return {block.samples.data() + offset, count};
        }
        ++feeding_;
        fed_ = 0;
    }
    ended_ = true;
    return {};
}

void WaveOutStream::StartRun() {
    converter_.reset();
    feeding_ = 0;
    fed_ = 0;
    runInput_ = 0;
    runOutput_ = 0;
    ended_ = false;
    drained_ = false;
}

} // namespace platform
