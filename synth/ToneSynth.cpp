#include "synth/ToneSynth.h"

#include "synth/Bands.h"
#include "synth/Extended.h"
#include "synth/Sine.h"
#include "synth/SweepSynth.h"

#include <array>
#include <span>
#include <stdexcept>

namespace {

// Where the non-sine waveforms turn, by band. Q is a triangle segment's length; the triangle's
// third segment starts after P2, its fourth after P3. P2 is also the sawtooth's ramp length, and
// the rectangle changes sign at Q, P2, P3 and N.
struct Turns {
    std::uint16_t Q;
    std::uint16_t P2;
    std::uint16_t P3;
};

constexpr std::array<Turns, Bands.size()> BandTurns = {{
    {225, 450, 675},
    {112, 225, 337},
    {56, 112, 168},
    {37, 75, 112},
    {28, 56, 84},
    {22, 44, 66},
    {15, 30, 45},
    {11, 22, 33},
    {4, 8, 12},
    {2, 4, 6},
    {0, 1, 2},
}};

std::int16_t Sample(long double value) {
    return static_cast<std::int16_t>(RoundEven(value));
}

// A * i / d with the product exact and the quotient extended.
long double Ramp(std::uint16_t A, std::uint16_t i, std::uint16_t d) {
    return static_cast<long double>(static_cast<std::uint32_t>(A) * i) / d;
}

// The two lowest bands have rate formulas of their own; from band 3 up the manual tone plays at
// the sweep step's rate.
std::uint16_t ManualRate(std::uint16_t f, std::uint8_t pasmo) {
    switch (pasmo) {
    case 1:
        return static_cast<std::uint16_t>(RoundEven(f * 449.6L + 80.0L));
    case 2:
        return static_cast<std::uint16_t>(225 * f - 100);
    default:
        return static_cast<std::uint16_t>(SweepRate(f));
    }
}

// Samples that no formula below covers stay 0, and band 11's triangle (no segment at all) is
// written apart. Each such sample ends a period, where the ideal sawtooth and triangle are 0, so
// the looped buffer gains no step; band 11's triangle is the ideal triangle sampled at 2/3, 4/3
// and 2 periods, the phases its three samples have, as the other waveforms of that band are.

void Pila(std::span<std::int16_t> s, std::uint16_t A, std::uint16_t L) {
    for (std::uint16_t i = 1; i <= L; ++i) {
        s[i - 1U] = s[L + i - 1U] = Sample(Ramp(A, i, L));
    }
}

void Troj(std::span<std::int16_t> s, std::uint16_t A, const Turns& t) {
    if (t.Q == 0) {
        s[0] = s[1] = Sample(Ramp(A, 2, 3));
        return;
    }
    for (std::uint16_t i = 1; i <= t.Q; ++i) {
        const long double u = Ramp(A, i, t.Q);
        s[i - 1U] = s[t.P2 + i - 1U] = Sample(u);
        s[t.Q + i - 1U] = s[t.P3 + i - 1U] = Sample(A - u);
    }
}

void Obdelnik(std::span<std::int16_t> s, std::uint16_t A, const Turns& t) {
    const std::size_t n = s.size();
    int sign = 1;
    for (std::size_t i = 1; i <= n; ++i) {
        if (i == t.Q || i == t.P2 || i == t.P3 || i == n) {
            sign = -sign;
        }
        s[i - 1] = static_cast<std::int16_t>(sign * A);
    }
}

} // namespace

ManualTone VypocitejManual(std::uint16_t Frekvence, std::uint16_t Amplituda, TPrubeh Prubeh) {
    const std::uint8_t pasmo = UrciPasmo(Frekvence);
    if (Amplituda > MaxAmplituda) {
        throw std::out_of_range("amplitude above 32767");
    }
    const std::uint16_t n = Bands[pasmo - 1U].Samples;
    const Turns& turns = BandTurns[pasmo - 1U];
    ManualTone tone{ManualRate(Frekvence, pasmo), std::vector<std::int16_t>(n, 0)};
    switch (Prubeh) {
    case TPrubeh::Sin:
        tone.Samples = TwoSinePeriods(n, Amplituda);
        break;
    case TPrubeh::Pila:
        Pila(tone.Samples, Amplituda, turns.P2);
        break;
    case TPrubeh::Troj:
        Troj(tone.Samples, Amplituda, turns);
        break;
    case TPrubeh::Obdelnik:
        Obdelnik(tone.Samples, Amplituda, turns);
        break;
    }
    return tone;
}
