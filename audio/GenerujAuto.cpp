#include "audio/GenerujAuto.h"

#include "synth/Bands.h"

#include <cstddef>
#include <utility>

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
        GlobalBlock block = GlobalBlock::Reserve(TableBytes(sweep->BandTable[band]));
        if (!block) {
            ZobrazChybu("Nedostatek paměti");
            return nullptr; // the blocks of the earlier bands go with the object
        }
        sweep->BandHandle[band] = std::move(block);
        sweep->BandHandle[band].Lock();
        sweep->BandData[band] = sweep->BandTable[band].data();
    }
    return sweep;
}

TGenerujAuto::~TGenerujAuto() {
    AutoCloseVystup();
}

void TGenerujAuto::NastavFormat(std::uint16_t f) {
    Format = MonoPcm16(SweepRate(f));
}

void TGenerujAuto::AutoOpenVystup(DWORD Loops, std::uint16_t f) {
    if (output_.GetOpened() != 0) {
        return; // the step in force keeps its band
    }
    const std::size_t band = UrciPasmo(f) - 1u;
    output_.Open(Format, BandData[band], TableBytes(BandTable[band]), Loops);
}

void TGenerujAuto::AutoVystup() {
    output_.Write();
}

bool TGenerujAuto::PlayingVystup() {
    return output_.PlayingVystup(LoopOutput::PlayingQuery::PlayingNotDone);
}

void TGenerujAuto::AutoCloseVystup() {
    output_.Close();
}
