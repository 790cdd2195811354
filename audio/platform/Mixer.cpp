#include "audio/platform/Mixer.h"

#include "audio/platform/BackendChoice.h"

namespace platform {

std::unique_ptr<Mixer> MakeMixer(std::string_view choice) {
    const std::optional<BackendChoice> parsed = ParseBackendChoice(choice);
    if (!parsed) {
        return nullptr;
    }
    const auto& [kind, argument] = *parsed;
    if ((kind.empty() && !argument) || kind == "alsa") {
        return MakeAlsaMixer(std::string(argument.value_or("default")));
    }
    if (kind == "file" && argument) {
        return MakeFileMixer(std::string(*argument));
    }
    return nullptr;
}

} // namespace platform
