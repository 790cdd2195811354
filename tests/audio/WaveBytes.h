#pragma once

// Builds wave files byte by byte, so that a test can say exactly what lies where, lies included.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes Tag(std::string_view tag) {
    return {tag.begin(), tag.end()};
}

inline Bytes U32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

inline Bytes U16(std::uint16_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

inline Bytes SampleBytes(const std::vector<std::int16_t>& samples) {
    Bytes bytes;
    for (const std::int16_t sample : samples) {
        const Bytes two = U16(static_cast<std::uint16_t>(sample));
        bytes.insert(bytes.end(), two.begin(), two.end());
    }
    return bytes;
}

// A well-formed chunk: tag, true size, payload, and the pad byte after an odd payload.
inline Bytes Chunk(std::string_view tag, const Bytes& payload) {
    Bytes chunk = Join({Tag(tag), U32(static_cast<std::uint32_t>(payload.size())), payload});
    if (payload.size() % 2 != 0) {
        chunk.push_back(0);
    }
    return chunk;
}

// "RIFF", the given RIFF size, "WAVE", then the chunks as given.
inline Bytes Riff(std::uint32_t riffSize, std::initializer_list<Bytes> chunks) {
    Bytes file = Join({Tag("RIFF"), U32(riffSize), Tag("WAVE")});
    for (const Bytes& chunk : chunks) {
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

// The same with the RIFF size that covers exactly the chunks given.
inline Bytes Riff(std::initializer_list<Bytes> chunks) {
    Bytes file = Riff(0, chunks);
    const Bytes size = U32(static_cast<std::uint32_t>(file.size() - 8));
    std::copy(size.begin(), size.end(), file.begin() + 4);
    return file;
}
