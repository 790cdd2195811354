#pragma once

#include "audio/platform/sinks/Sink.h"
#include "audio/platform/util/ThreadSafety.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace platform {

class WavRecording;

// The header of a recording (RIFF, an 18-byte fmt chunk, fact, data); the frames follow it.
inline constexpr std::uint32_t WavHeaderSize = 58;

// The wav recordings of one wave output, by path. Open and destroy them on any thread.
class WavRecordings {
public:
    // A sink like the null sink (the render thread's clock paces it) that records every frame
    // handed on (silence between opens included) to a WAV file of 32-bit float mono frames at
    // SinkRate: what the card would have been sent. The file is a valid WAV at every moment, also
    // when the process ends without running destructors: each write puts the frames first and
    // then the header that counts them. The first sink on a path starts the file afresh; a sink
    // opened on it again after an idle release goes on after what is there, so nothing recorded is
    // lost. The recording stops at the 4 GiB limit of the format; a write that fails (a full disk)
    // is said once on standard error, and the sound goes on. MMSYSERR_ERROR when the file cannot
    // be created.
    OpenedSink Open(const std::string& path) EXCLUDES(mutex_);

private:
    Mutex mutex_;
    std::map<std::string, std::shared_ptr<WavRecording>> recordings_ GUARDED_BY(mutex_);
};

} // namespace platform
