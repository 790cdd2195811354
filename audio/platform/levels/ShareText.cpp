#include "audio/platform/levels/ShareText.h"

#include "audio/platform/mixer/LevelText.h"

#include <charconv>

namespace platform {
namespace {

constexpr std::string_view MixerKey = "mixer=";
constexpr std::string_view BootKey = "boot=";
constexpr std::string_view HolderKey = "holder=";
constexpr std::string_view Unread = "unread";
constexpr std::string_view End = "end";
// The mixer, the boot, the levels and the end.
constexpr std::size_t FixedLines = MixerLines + 3;

std::string DeviceKey(unsigned device) {
    return (device == WaveDevice ? "wave" : "aux") + std::to_string(device) + "=";
}

template <class Number>
bool ParseNumber(std::string_view text, Number& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// "PID/START".
std::optional<ProcessId> ParseProcess(std::string_view text) {
    const std::size_t slash = text.find('/');
    ProcessId process;
    if (slash == std::string_view::npos || !ParseNumber(text.substr(0, slash), process.pid) ||
        !ParseNumber(text.substr(slash + 1), process.start) || process.pid <= 0) {
        return std::nullopt;
    }
    return process;
}

std::string FormatProcess(const ProcessId& process) {
    return std::to_string(process.pid) + "/" + std::to_string(process.start);
}

} // namespace

std::optional<ShareContents> ParseShare(std::string_view text, const std::string& mixer) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return std::nullopt; // cut short
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
        if (lines.back() == End) {
            break;
        }
    }
    if (lines.size() < FixedLines || lines[0] != std::string(MixerKey) + mixer ||
        !lines[1].starts_with(BootKey) || lines.back() != End) {
        return std::nullopt;
    }
    ShareContents contents;
    contents.boot = lines[1].substr(BootKey.size());
    for (unsigned device = 0; device < MixerLines; ++device) {
        const std::string_view line = lines[2 + device];
        const std::string key = DeviceKey(device);
        if (!line.starts_with(key)) {
            return std::nullopt;
        }
        const std::string_view value = line.substr(key.size());
        contents.levels[device] = ParseLevelText(value);
        if (!contents.levels[device] && value != Unread) {
            return std::nullopt;
        }
    }
    for (std::size_t i = FixedLines - 1; i + 1 < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::size_t blank = line.find(' ');
        if (!line.starts_with(HolderKey) || blank == std::string_view::npos) {
            return std::nullopt;
        }
        const auto program = ParseProcess(line.substr(HolderKey.size(), blank - HolderKey.size()));
        const auto watcher = ParseProcess(line.substr(blank + 1));
        if (!program || !watcher) {
            return std::nullopt;
        }
        contents.holders.push_back({*program, *watcher});
    }
    return contents;
}

std::string FormatShare(const ShareContents& contents, const std::string& mixer) {
    std::string text = std::string(MixerKey) + mixer + "\n";
    text += std::string(BootKey) + BootId() + "\n";
    for (unsigned device = 0; device < MixerLines; ++device) {
        const auto& level = contents.levels[device];
        text += DeviceKey(device) + (level ? LevelText(*level) : std::string(Unread)) + "\n";
    }
    for (const Holder& holder : contents.holders) {
        text += std::string(HolderKey) + FormatProcess(holder.program) + " " +
                FormatProcess(holder.watcher) + "\n";
    }
    return text + std::string(End) + "\n";
}

bool BeginsAsShare(std::string_view text) {
    return text.starts_with(MixerKey);
}

std::vector<Holder> OtherLiveHolders(const ShareContents& contents, const ProcessId& program) {
    std::vector<Holder> others;
    if (contents.boot != BootId()) {
        return others; // pids and start times of another boot mean nothing now
    }
    for (const Holder& holder : contents.holders) {
        if (holder.program != program && (Alive(holder.program) || Alive(holder.watcher))) {
            others.push_back(holder);
        }
    }
    return others;
}

bool Holds(const ShareContents& contents, const ProcessId& program) {
    if (contents.boot != BootId()) {
        return false;
    }
    for (const Holder& holder : contents.holders) {
        if (holder.program == program) {
            return true;
        }
    }
    return false;
}

} // namespace platform
