#pragma once

// Builds wave files byte by byte, so that a test can say exactly what lies where, lies included.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::string;

inline Bytes U32(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

inline Bytes U16(std::uint16_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8)};
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined += part;
    }
    return joined;
}

inline Bytes SampleBytes(const std::vector<std::int16_t>& samples) {
    Bytes bytes;
    for (const std::int16_t sample : samples) {
        bytes += U16(static_cast<std::uint16_t>(sample));
    }
    return bytes;
}

// A well-formed chunk: tag, true size, payload, and the pad byte after an odd payload.
inline Bytes Chunk(std::string_view tag, const Bytes& payload) {
    Bytes chunk = Join({Bytes(tag), U32(static_cast<std::uint32_t>(payload.size())), payload});
    if (payload.size() % 2 != 0) {
        chunk += '\0';
    }
    return chunk;
}

// "RIFF", the given RIFF size, "WAVE", then the chunks as given.
inline Bytes Riff(std::uint32_t riffSize, std::initializer_list<Bytes> chunks) {
    return Join({"RIFF", U32(riffSize), "WAVE", Join(chunks)});
}

// The same with the RIFF size that covers exactly the chunks given.
inline Bytes Riff(std::initializer_list<Bytes> chunks) {
    const Bytes body = Join(chunks);
    return Riff(static_cast<std::uint32_t>(4 + body.size()), {body});
}
