#include "audio/GenerujAuto.h"

#include "audio/LoopOutput.h"
#include "synth/Bands.h"

#include <cstddef>

namespace {

DWORD TableBytes(const std::vector<std::int16_t>& table) {
    return static_cast<DWORD>(table.size() * sizeof(std::int16_t));
}

} // namespace

// The blocks only prove that the memory is there; the samples play from BandTable.
std::unique_ptr<TGenerujAuto> TGenerujAuto::Create(std::uint16_t Amplituda) {
    std::unique_ptr<TGenerujAuto> sweep(new TGenerujAuto);
    sweep->BandTable = SweepBandTables(Amplituda);
    for (std::size_t band = 0; band < sweep->BandTable.size(); ++band) {
        const DWORD bytes = TableBytes(sweep->BandTable[band]);
        const HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
        if (handle == nullptr || GlobalSize(handle) < bytes) {
            GlobalFree(handle);
            ZobrazChybu("Nedostatek paměti");
            return nullptr; // the destructor gives back the blocks of the earlier bands
        }
        sweep->BandHandle[band] = handle;
        GlobalLock(handle);
        sweep->BandData[band] = sweep->BandTable[band].data();
    }
    return sweep;
}

TGenerujAuto::~TGenerujAuto() {
    AutoCloseVystup();
    for (HGLOBAL& handle : BandHandle) {
        if (handle != nullptr) {
            ReleaseBlock(handle);
        }
    }
}

void TGenerujAuto::NastavFormat(std::uint16_t f) {
    Format = MonoPcmFormat(SweepRate(f));
}

void TGenerujAuto::AutoOpenVystup(DWORD Loops, std::uint16_t f) {
    if (Opened != 0) {
        return;
    }
    const std::size_t band = UrciPasmo(f) - 1u;
    if (OpenLoopOutput(Format, BandData[band], TableBytes(BandTable[band]), Loops, WaveOut,
                       HeaderHandle, Header)) {
        Opened = 1;
    }
}

void TGenerujAuto::AutoVystup() {
    if (Opened != 0) {
        Playing = WriteLoopOutput(WaveOut, Header) ? 1 : 0;
    }
}

bool TGenerujAuto::PlayingVystup() {
    return Playing != 0 && (HeaderFlags(*Header) & WHDR_DONE) == 0;
}

void TGenerujAuto::AutoCloseVystup() {
    if (Opened == 0) {
        return;
    }
    CloseLoopOutput(WaveOut, HeaderHandle, Header);
    Opened = 0;
    Playing = 0;
}
