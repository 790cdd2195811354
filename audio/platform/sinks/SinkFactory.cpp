#include "audio/platform/sinks/SinkFactory.h"

#include "audio/platform/BackendChoice.h"
#include "audio/platform/sinks/AlsaSink.h"
#include "audio/platform/sinks/NullSink.h"
#include "audio/platform/sinks/WavSink.h"

namespace platform {

SinkFactory::SinkFactory() : recordings_(std::make_unique<WavRecordings>()) {}

SinkFactory::~SinkFactory() = default;

OpenedSink SinkFactory::OpenChosen() {
    choice_ = AudioChoice();
    return OpenAgain();
}

OpenedSink SinkFactory::OpenAgain() {
    const std::optional<BackendChoice> parsed = ParseBackendChoice(choice_);
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
        return recordings_->Open(std::string(*argument));
    }
    if (kind == "busy" && !argument) {
        return {nullptr, MMSYSERR_ALLOCATED};
    }
    return {nullptr, MMSYSERR_NODRIVER};
}

std::string SinkFactory::Name() const {
    return choice_.empty() ? "alsa" : choice_;
}

} // namespace platform
