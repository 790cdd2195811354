#include "audio/platform/mixer/Mixer.h"

#include "audio/platform/BackendChoice.h"

#include <filesystem>

namespace platform {
namespace {

struct MixerName {
    bool file; // else an ALSA card
    std::string_view name;
};

// What the choice names; nothing for a choice that names no mixer.
std::optional<MixerName> Parse(std::string_view choice) {
    const std::optional<BackendChoice> parsed = ParseBackendChoice(choice);
    if (!parsed) {
        return std::nullopt;
    }
    const auto& [kind, argument] = *parsed;
    if ((kind.empty() && !argument) || kind == "alsa") {
        return MixerName{false, argument.value_or("default")};
    }
    if (kind == "file" && argument) {
        return MixerName{true, *argument};
    }
    return std::nullopt;
}

} // namespace

std::unique_ptr<Mixer> MakeMixer(std::string_view choice) {
    const std::optional<MixerName> parsed = Parse(choice);
    if (!parsed) {
        return nullptr;
    }
    return parsed->file ? MakeFileMixer(std::string(parsed->name))
                        : MakeAlsaMixer(std::string(parsed->name));
}

std::optional<std::string> CanonicalMixerChoice(std::string_view choice) {
    const std::optional<MixerName> parsed = Parse(choice);
    if (!parsed) {
        return std::nullopt;
    }
    if (!parsed->file) {
        return "alsa:" + std::string(parsed->name);
    }
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(parsed->name, error);
    if (error) {
        return std::nullopt;
    }
    return "file:" + path.lexically_normal().string();
}

} // namespace platform
