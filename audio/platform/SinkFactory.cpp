#include "audio/platform/AlsaSink.h"
#include "audio/platform/NullSink.h"
#include "audio/platform/Sink.h"
#include "audio/platform/WavSink.h"

#include <cstdlib>
#include <string_view>

namespace platform {

OpenedSink OpenSink(Clock& clock) {
    const char* const variable = std::getenv("PROGEN_AUDIO");
    const std::string_view choice = variable ? variable : "alsa";
    if (choice == "alsa") {
        return OpenAlsaSink("default");
    }
    if (choice.starts_with("alsa:")) {
        return OpenAlsaSink(std::string(choice.substr(5)));
    }
    if (choice == "null") {
        return {std::make_unique<NullSink>(clock), MMSYSERR_NOERROR};
    }
    if (choice.starts_with("wav:")) {
        return OpenWavSink(std::string(choice.substr(4)), clock);
    }
    if (choice == "busy") {
        return {nullptr, MMSYSERR_ALLOCATED};
    }
    return {nullptr, MMSYSERR_NODRIVER};
}

} // namespace platform
