#pragma once

// One wave output handle playing one looping header; everything is given back at the end, as the
// output objects do: reset, unprepare, close.

#include "audio/platform/MMSystem.h"
#include "audio/platform/waveout/MonoPcm16.h"

#include <cstdint>
#include <utility>
#include <vector>

class LoopingOutput {
public:
    LoopingOutput(DWORD rate, std::vector<std::int16_t> buffer, DWORD loops)
        : buffer_(std::move(buffer)) {
        const WAVEFORMATEX format = MonoPcm16(rate);
        result_ = waveOutOpen(&handle_, 0, &format, 0, 0, WAVE_ALLOWSYNC);
        header_.lpData = reinterpret_cast<LPSTR>(buffer_.data());
        header_.dwBufferLength = static_cast<DWORD>(buffer_.size() * 2);
        header_.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
        header_.dwLoops = loops;
        if (result_ == MMSYSERR_NOERROR) {
            result_ = waveOutPrepareHeader(handle_, &header_, sizeof header_);
        }
        if (result_ == MMSYSERR_NOERROR) {
            result_ = waveOutWrite(handle_, &header_, sizeof header_);
        }
    }
    ~LoopingOutput() {
        waveOutReset(handle_);
        waveOutUnprepareHeader(handle_, &header_, sizeof header_);
        waveOutClose(handle_);
    }
    LoopingOutput(const LoopingOutput&) = delete;
    LoopingOutput& operator=(const LoopingOutput&) = delete;

    // What the open, prepare and write came to: a benchmark of failing calls measures nothing.
    MMRESULT Result() const { return result_; }
    HWAVEOUT Handle() const { return handle_; }
    WAVEHDR& Header() { return header_; }
    bool Done() { return (HeaderFlags(header_) & WHDR_DONE) != 0; }

private:
    std::vector<std::int16_t> buffer_;
    HWAVEOUT handle_ = nullptr;
    WAVEHDR header_{};
    MMRESULT result_;
};
