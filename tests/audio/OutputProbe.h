#pragma once

// What the tests read inside the two output objects, which name this class their friend: the
// format, the samples and band tables they hold, and the header and flags of their loop output.

#include "audio/GenerujAuto.h"
#include "audio/GenerujManual.h"
#include "audio/LoopOutput.h"

#include <cstdint>

class OutputProbe {
public:
    template <class Output>
    static const WAVEFORMATEX& Format(const Output& output) {
        return output.Format;
    }
    template <class Output>
    static const WAVEHDR* Header(const Output& output) { // while open
        return output.output_.Header;
    }
    template <class Output>
    static std::uint16_t Opened(const Output& output) {
        return output.output_.Opened;
    }
    template <class Output>
    static std::uint16_t Playing(const Output& output) {
        return output.output_.Playing;
    }
    static DWORD DataLength(const TGenerujManual& manual) { return manual.DataLength; }
    static const std::int16_t* Data(const TGenerujManual& manual) {
        return static_cast<const std::int16_t*>(manual.Data);
    }
    static const BandTables& BandTable(const TGenerujAuto& sweep) { return sweep.BandTable; }
};
