#include "audio/platform/Mixer.h"

namespace platform {

std::unique_ptr<Mixer> MakeMixer(std::string_view choice) {
    constexpr std::string_view alsa = "alsa";
    constexpr std::string_view alsaNamed = "alsa:";
    constexpr std::string_view file = "file:";
    if (choice.empty() || choice == alsa) {
        return MakeAlsaMixer("default");
    }
    if (choice.starts_with(alsaNamed) && choice.size() > alsaNamed.size()) {
        return MakeAlsaMixer(std::string(choice.substr(alsaNamed.size())));
    }
    if (choice.starts_with(file) && choice.size() > file.size()) {
        return MakeFileMixer(std::string(choice.substr(file.size())));
    }
    return nullptr;
}

} // namespace platform
