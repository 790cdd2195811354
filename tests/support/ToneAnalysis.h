#pragma once

// Measures a recorded tone: its frequency and how clean it is, by a least-squares fit of one sine.

#include <cstdint>
#include <span>
#include <vector>

struct ToneFit {
    double frequency = 0; // Hz
    double amplitude = 0; // of the fitted sine, full scale 1.0
    double sinadDb = 0;   // the sine's power over that of everything else (distortion, noise, DC)
    double phase = 0;     // radians: the sine is amplitude x cos(2 pi frequency n / rate + phase)
};

// Fits a x[n] = A cos(2 pi f n / rate) + B sin(...) to the frames, f found from a windowed FFT's
// peak and refined by Gauss-Newton. Nothing about the expected frequency goes in.
ToneFit FitTone(std::span<const float> frames, double rate);

// How clean a looped 16-bit buffer is at best: its SINAD against the ideal sine at its own rate,
// whose frequency lies `periods` periods in the buffer (2 for two-period buffers, 1 where three
// samples hold the two periods folded into one).
double BufferSinadDb(const std::vector<std::int16_t>& buffer, int periods);
