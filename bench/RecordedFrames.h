#pragma once

// The frames the wav sink has recorded so far (48000 Hz mono float after its header).

#include "audio/platform/sinks/WavSink.h"

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

// From frame `from` on; none while the file is missing or shorter.
inline std::vector<float> RecordedFrames(const std::filesystem::path& path, std::size_t from = 0) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    const std::size_t begin = platform::WavHeaderSize + from * sizeof(float);
    if (bytes.size() <= begin) {
        return {};
    }
    std::vector<float> frames((bytes.size() - begin) / sizeof(float));
    std::memcpy(frames.data(), bytes.data() + begin, frames.size() * sizeof(float));
    return frames;
}
