#include "audio/platform/BackendChoice.h"
#include "audio/platform/sinks/AlsaSink.h"
#include "audio/platform/sinks/NullSink.h"
#include "audio/platform/sinks/Sink.h"
#include "audio/platform/sinks/WavSink.h"

namespace platform {

OpenedSink OpenSink(const std::string& choice, WavRecordings& recordings) {
    const std::optional<BackendChoice> parsed = ParseBackendChoice(choice);
    if (!parsed) {
        return {nullptr, MMSYSERR_NODRIVER};
    }
    const auto& [kind, argument] = *parsed;
    if (kind.empty() && !argument) {
        return OpenAlsaSink("default");
    }
    if (kind == "alsa") {
        return OpenAlsaSink(std::string(argument.value_or("default")));
    }
    if (kind == "null" && !argument) {
        return {std::make_unique<NullSink>(), MMSYSERR_NOERROR};
    }
    if (kind == "wav" && argument) {
        return recordings.Open(std::string(*argument));
    }
    if (kind == "busy" && !argument) {
        return {nullptr, MMSYSERR_ALLOCATED};
    }
    return {nullptr, MMSYSERR_NODRIVER};
}

} // namespace platform
