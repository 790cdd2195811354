#pragma once

// The 16-bit levels of the volume calls on a mixer element's raw range, so that a level read and
// written back gives back the raw value it was read from.

#include "audio/platform/MMSystem.h"

#include <optional>

namespace platform {

struct RawRange {
    long min;
    long max;
};

// The level 0..0xFFFF of `raw`, scaled linearly and rounded; a raw value outside the range counts
// as the nearer end, and a range of one value reads as 0.
WORD LevelFromRaw(long raw, RawRange range);

// The raw value of `level`, scaled back and rounded. On a range of at most 65536 values every raw
// value comes back from its own level.
long RawFromLevel(WORD level, RawRange range);

// What one channel last read: its raw value and the level reported for it.
struct ChannelReading {
    long raw;
    WORD level;
};

// The raw value to write for `level`: the one last read when `level` is the level reported for it,
// else the scaled value. A wider range has more raw values than there are levels (0..65536 has
// 65537), so only the reading itself can give the raw value back exactly.
long RawToWrite(WORD level, RawRange range, const std::optional<ChannelReading>& last);

} // namespace platform
