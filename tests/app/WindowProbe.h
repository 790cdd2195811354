#pragma once

// What the tests and benchmarks read inside the window, which names this class its friend: its
// output objects and the state variables behind its controls.

#include "app/ProgGenerator.h"
#include "audio/GenerujAuto.h"
#include "audio/GenerujManual.h"

#include <cstdint>

class WindowProbe {
public:
    static TGenerujManual* GenerujManual(const TProgGenerator& window) {
        return window.GenerujManual.get();
    }
    static TGenerujAuto* GenerujAuto(const TProgGenerator& window) {
        return window.GenerujAuto.get();
    }
    static std::uint16_t Pauza(const TProgGenerator& window) { return window.Pauza; }
    static std::uint16_t Frekvence(const TProgGenerator& window) { return window.Frekvence; }
    static std::uint16_t Amplituda(const TProgGenerator& window) { return window.Amplituda; }
    static std::uint16_t SampleRate(const TProgGenerator& window) { return window.SampleRate; }
    static std::uint16_t WaveL(const TProgGenerator& window) { return window.WaveL; }
    static std::uint16_t AuxL(const TProgGenerator& window) { return window.AuxL; }
    static bool VibraMode(const TProgGenerator& window) { return window.VibraMode; }
};
