#pragma once

#include "audio/platform/MMSystem.h"
#include "audio/platform/waveout/RateConverter.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

namespace platform {

// How long a reset, a pause or a restart takes to fade the sound out or in: short enough to feel
// immediate, long enough that the waveform is never cut mid-swing (a cut clicks).
inline constexpr std::chrono::microseconds FadeTime{2500};

// A gain that rises or falls along a raised cosine over a fixed number of frames, and can turn
// back anywhere on the way.
class Fader {
public:
    Fader(std::size_t length, bool up);

    void Rise() { rising_ = true; }
    void Fall() { rising_ = false; }
    // Full or silent at once: where nothing sounds yet there is nothing to fade.
    void Jump(bool up) {
        rising_ = up;
        step_ = up ? length_ : 0;
    }
    bool Falling() const { return !rising_; }
    bool Full() const { return rising_ && step_ == length_; }
    bool Silent() const { return !rising_ && step_ == 0; }
    std::size_t FramesToSilence() const { return step_; }

    // The gain of the next frame; the gain moves one step per frame.
    float Next();

private:
    std::size_t length_;
    std::size_t step_; // 0 silent .. length_ full
    bool rising_;
};

// The sound of one open wave output handle: the headers written to it, played in order, each
// looped as its flags say, at the handle's rate and converted to the sink's. Not thread-safe: the
// engine's lock guards every call. The user-interface thread queues, pauses, restarts and resets
// it; the render thread mixes it into the sink's stream, and once the sink has taken the mix,
// hands back the headers whose last frame it took.
//
// Converting a stream needs the input after a frame before that frame can come out, so when the
// queue runs dry the converter is flushed: that is what lets the last frame of a header out
// before its WHDR_DONE. A header written after that starts a new conversion where the old one
// ended.
class WaveOutStream {
public:
    // A stream made paused stays silent until Restart().
    WaveOutStream(unsigned rate, unsigned sinkRate, bool paused);
    ~WaveOutStream();

    WaveOutStream(const WaveOutStream&) = delete;
    WaveOutStream& operator=(const WaveOutStream&) = delete;

    // Queues `header` to play `buffer` `loops` times over; the stream keeps the buffer, so the
    // header's data is not read again. A header with nothing to play is done at once when nothing
    // is queued before it.
    void Queue(WAVEHDR& header, std::vector<std::int16_t> buffer, std::uint64_t loops);
    bool InQueue(const WAVEHDR& header) const;
    bool HasQueue() const;

    // Hands every queued header back done, at once, and forgets them. What sounds then can only
    // fade: FadeOut(), and the fade is over once it has no frames left to mix. Only a stream in
    // the middle of a sound has anything to fade.
    void HandBackAll();
    void FadeOut() { fader_.Fall(); }
    // Part of its sound has been mixed and more is to come: a cut here would click.
    bool MidSound() const { return HasFramesToMix() && RunHasOutput(); }

    // Pause fades the sound out and holds the stream; Restart fades it back in where it stopped.
    // Before anything has sounded, both act at once.
    void Pause();
    void Restart();
    bool Paused() const { return paused_; }

    // Samples of the handle's rate handed on to the sink since the stream began.
    std::uint64_t Position() const;

    // For the render thread. True while the stream has frames to mix: not silenced, and queued
    // frames not yet all converted.
    bool HasFramesToMix() const;
    // Adds the stream's next frames into `mix`; returns how many (fewer than mix.size() only where
    // its sound ends or its fade-out is over). `fading` holds, per frame, the gains of the streams
    // that fade out after a reset: such a stream adds its own gain there, and every other stream
    // sounds only in the room they leave, so that a restart crossfades from the old tone into the
    // new one and never sounds louder than the louder of the two. Empty while nothing fades.
    enum class Role { Fading, Playing };
    std::size_t MixInto(std::span<float> mix, std::span<float> fading, Role role);
    // After the sink took the mix: marks WHDR_DONE on every header whose last frame it took. True
    // when one was.
    bool HandBackPlayed();

private:
    // One written header.
    struct Block {
        WAVEHDR* header;                   // null once handed back
        std::vector<std::int16_t> samples; // its buffer, repeated to a length worth a call
        std::uint64_t frames;              // samples to play in all: loops x buffer length
        bool started = false;              // the converter has begun to read it
        std::uint64_t end = 0;             // once started: input frames of the run up to its end
    };

    std::span<const std::int16_t> Feed(std::size_t most);
    // The converter's current run has put out frames.
    bool RunHasOutput() const { return runOutput_ > 0; }
    void StartRun();

    unsigned rate_;
    unsigned sinkRate_;
    bool paused_;
    Fader fader_;
    std::deque<Block> blocks_;

    // The current run of the converter: from its start to the flush after its input ran dry.
    std::unique_ptr<RateConverter> converter_;
    std::size_t feeding_ = 0; // the block the converter reads
    std::uint64_t fed_ = 0;   // frames of it read so far
    std::uint64_t runInput_ = 0;
    std::uint64_t runOutput_ = 0;
    bool ended_ = false;   // the converter was told that the input ended
    bool drained_ = false; // and the last frame has come out

    std::uint64_t mixed_ = 0;    // output frames of every run
    std::uint64_t handedOn_ = 0; // of those, the ones the sink has taken
    std::vector<float> converted_;
};

} // namespace platform
