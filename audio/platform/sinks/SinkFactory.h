#pragma once

#include "audio/platform/sinks/Sink.h"

#include <memory>
#include <string>

namespace platform {

class WavRecordings;

// Opens the sinks of one wave output where PROGEN_AUDIO (BackendChoice.h) sends its sound: empty
// or "alsa" (ALSA PCM "default"), "alsa:NAME", "null", "wav:PATH" or "busy" (always
// MMSYSERR_ALLOCATED); anything else fails with MMSYSERR_NODRIVER. It owns the wav recordings
// (WavSink.h), so that a wav sink opened again goes on with its file.
//
// OpenChosen runs on the user-interface thread while no render thread runs; OpenAgain and Name
// on the render thread it then starts, until that thread ends, so the choice is never read while
// it is written.
class SinkFactory {
public:
    SinkFactory();
    ~SinkFactory();
    SinkFactory(const SinkFactory&) = delete;
    SinkFactory& operator=(const SinkFactory&) = delete;

    // Reads PROGEN_AUDIO and opens the sink it chooses.
    OpenedSink OpenChosen();
    // The last chosen sink again, after it was lost.
    OpenedSink OpenAgain();
    // The last chosen sink as messages name it: "alsa" where nothing was chosen.
    std::string Name() const;

private:
    std::string choice_;
    std::unique_ptr<WavRecordings> recordings_;
};

} // namespace platform
