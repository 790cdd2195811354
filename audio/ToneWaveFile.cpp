#include "audio/ToneWaveFile.h"

#include "audio/GlobalBlock.h"
#include "audio/platform/waveout/MonoPcm16.h"
#include "synth/Bands.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

// Samples and header fields go to and from the file as they lie in memory.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr DWORD FormatChunkSize = 20;
constexpr LONG FirstChunk = 12;

// The largest file the writer makes, of the band with the longest buffer: the reader takes no
// larger one, so that its walk and its read cost little whatever the file.
constexpr DWORD HeaderSize = 48;
constexpr DWORD LargestFile = HeaderSize + 2 * std::ranges::max(Bands, {}, &Band::Samples).Samples;
static_assert(LargestFile == 1848);

using Field = std::array<char, 4>;

Field LittleEndian(DWORD value) {
    Field bytes;
    std::memcpy(bytes.data(), &value, bytes.size());
    return bytes;
}

void Write(HMMIO file, const void* bytes, std::size_t size) {
    mmioWrite(file, static_cast<const char*>(bytes), static_cast<LONG>(size));
}

void Write(HMMIO file, std::string_view tag) {
    Write(file, tag.data(), tag.size());
}

template <std::size_t Size>
void Write(HMMIO file, const std::array<char, Size>& bytes) {
    Write(file, bytes.data(), Size);
}

// The PCM format record the file states, whatever rate the tone plays at, padded with zeros to
// the even chunk size.
std::array<char, FormatChunkSize> FormatChunk() {
    const WAVEFORMATEX format = MonoPcm16(44100);
    std::array<char, FormatChunkSize> chunk{};
    std::memcpy(chunk.data(), &format, sizeof format);
    return chunk;
}

[[noreturn]] void CannotWrite() {
    ZobrazChybu("WaveErr_OpenFile");
    ExitProcess(1);
}

// Four bytes from the current position; zeros where the file ends.
Field ReadField(HMMIO file) {
    Field bytes{};
    mmioRead(file, bytes.data(), static_cast<LONG>(bytes.size()));
    return bytes;
}

DWORD AsNumber(const Field& bytes) {
    DWORD value = 0;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

bool Is(const Field& bytes, std::string_view tag) {
    return std::string_view(bytes.data(), bytes.size()) == tag;
}

// Walks the chunks from offset 12, each size padded to even, for the chunk `tag` that starts
// below RIFF size + 8 (the first one is always looked at). Returns its size with the file standing
// at its first data byte. The sizes come from the file and are not trusted: a chunk header cut off
// by the end of the file, a size negative as signed 32-bit, or a position beyond the signed 32-bit
// range ends the walk, so it always moves forward and stays within the file.
std::optional<DWORD> FindChunk(HMMIO file, DWORD riffSize, std::string_view tag) {
    const std::int64_t end = std::int64_t{riffSize} + 8;
    std::int64_t position = FirstChunk;
    while (true) {
        mmioSeek(file, static_cast<LONG>(position), SEEK_SET);
        std::array<char, 8> header{};
        if (mmioRead(file, header.data(), static_cast<LONG>(header.size())) != 8) {
            return std::nullopt;
        }
        LONG size = 0;
        std::memcpy(&size, header.data() + 4, sizeof size);
        if (size < 0) {
            return std::nullopt;
        }
        if (std::string_view(header.data(), 4) == tag) {
            return static_cast<DWORD>(size);
        }
        position += 8 + std::int64_t{size} + (size & 1);
        if (position > std::numeric_limits<LONG>::max() || end <= position) {
            return std::nullopt;
        }
    }
}

// The bytes from the current position to the end of the file; the position is kept.
DWORD BytesLeft(HMMIO file) {
    const LONG here = mmioSeek(file, 0, SEEK_CUR);
    const LONG end = mmioSeek(file, 0, SEEK_END);
    mmioSeek(file, here, SEEK_SET);
    return here < 0 || end < here ? 0 : static_cast<DWORD>(end - here);
}

// Everything of the reading after the open; the refusal's message, or nullptr with `out` filled.
const char* ReadData(HMMIO file, WaveData& out) {
    if (!Is(ReadField(file), "RIFF")) {
        return "WaveErr_NoRIFF";
    }
    const DWORD riffSize = AsNumber(ReadField(file));
    if (!Is(ReadField(file), "WAVE")) {
        return "WaveErr_NoWave";
    }
    // Only the presence of the format chunk counts: the caller gives the format.
    if (!FindChunk(file, riffSize, "fmt ")) {
        return "WaveErr_NoInfo";
    }
    const std::optional<DWORD> claimed = FindChunk(file, riffSize, "data");
    if (!claimed) {
        return "WaveErr_NoData";
    }
    // A file cut short, as a full disk leaves it, would play its remnant at a wrong pitch: the
    // data it claims must all be there. Checked before reserving, so that a hostile size cannot
    // take gigabytes either.
    const DWORD size = *claimed;
    if (BytesLeft(file) < size) {
        return "WaveErr_NoData";
    }
    GlobalBlock block = GlobalBlock::Reserve(size);
    if (!block) {
        return "WaveErr_Memory";
    }
    void* data = block.Lock();
    if (mmioRead(file, static_cast<char*>(data), static_cast<LONG>(size)) !=
        static_cast<LONG>(size)) {
        return "WaveErr_NoData";
    }
    // An odd last byte is no whole sample.
    out = {block.Release(), data, size & ~DWORD{1}};
    return nullptr;
}

} // namespace

void UlozWave(const char* FileName, const std::int16_t* Samples, DWORD ByteLength) {
    const HMMIO created = mmioOpenA(FileName, nullptr, MMIO_CREATE);
    if (created == nullptr) {
        CannotWrite();
    }
    mmioClose(created, 0);

    const HMMIO file = mmioOpenA(FileName, nullptr, MMIO_WRITE);
    if (file == nullptr) {
        CannotWrite();
    }
    Write(file, "RIFF");
    Write(file, LittleEndian(ByteLength + 40));
    Write(file, "WAVE");
    Write(file, "fmt ");
    Write(file, LittleEndian(FormatChunkSize));
    Write(file, FormatChunk());
    Write(file, "data");
    Write(file, LittleEndian(ByteLength));
    Write(file, Samples, ByteLength);
    mmioClose(file, 0);
}

bool NactiWave(const char* FileName, WaveData& out) {
    const HMMIO file = mmioOpenA(FileName, nullptr, MMIO_READ);
    if (file == nullptr) {
        ZobrazChybu("WaveErr_OpenFile");
        return false;
    }
    const char* refusal = BytesLeft(file) > LargestFile ? "WaveErr_OpenFile" : ReadData(file, out);
    mmioClose(file, 0);
    if (refusal != nullptr) {
        ZobrazChybu(refusal);
        return false;
    }
    return true;
}
