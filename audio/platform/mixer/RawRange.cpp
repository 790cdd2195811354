#include "audio/platform/mixer/RawRange.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace platform {
namespace {

constexpr std::int64_t FullLevel = 0xFFFF;

// Element ranges are 32-bit in the kernel; holding them there keeps the arithmetic below exact for
// whatever a driver reports, an inverted range included.
struct Span {
    std::int64_t min;
    std::int64_t width;
};

Span SpanOf(RawRange range) {
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    const std::int64_t min = std::clamp<std::int64_t>(range.min, lowest, highest);
    const std::int64_t max = std::clamp<std::int64_t>(range.max, min, highest);
    return {min, max - min};
}

// a * b / c rounded to nearest, halves up; a, b >= 0, c > 0.
std::int64_t ScaleRounded(std::int64_t a, std::int64_t b, std::int64_t c) {
    return (2 * a * b + c) / (2 * c);
}

} // namespace

WORD LevelFromRaw(long raw, RawRange range) {
    const Span span = SpanOf(range);
    if (span.width == 0) {
        return 0;
    }
    const std::int64_t offset = std::clamp<std::int64_t>(raw, span.min, span.min + span.width);
    return static_cast<WORD>(ScaleRounded(offset - span.min, FullLevel, span.width));
}

long RawFromLevel(WORD level, RawRange range) {
    const Span span = SpanOf(range);
    return static_cast<long>(span.min + ScaleRounded(level, span.width, FullLevel));
}

long RawToWrite(WORD level, RawRange range, const std::optional<ChannelReading>& last) {
    if (last && last->level == level && last->raw >= range.min && last->raw <= range.max) {
        return last->raw;
    }
    return RawFromLevel(level, range);
}

} // namespace platform
