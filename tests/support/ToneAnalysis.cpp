#include "tests/support/ToneAnalysis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

namespace {

using Complex = std::complex<double>;

void Fft(std::vector<Complex>& values) {
    const std::size_t n = values.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(values[i], values[j]);
        }
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const Complex turn = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(length));
        for (std::size_t start = 0; start < n; start += length) {
            Complex w = 1;
            for (std::size_t k = 0; k < length / 2; ++k) {
                const Complex even = values[start + k];
                const Complex odd = values[start + k + length / 2] * w;
                values[start + k] = even + odd;
                values[start + k + length / 2] = even - odd;
                w *= turn;
            }
        }
    }
}

// The frequency of the strongest bin of a Hann-windowed FFT, refined by a parabola through the
// log magnitudes around it: within a small part of a bin.
double PeakFrequency(std::span<const float> frames, double rate) {
    std::size_t n = 1;
    while (n * 2 <= frames.size()) {
        n *= 2;
    }
    std::vector<Complex> values(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) /
                                                   static_cast<double>(n));
        values[i] = window * frames[i];
    }
    Fft(values);
    std::size_t peak = 1;
    for (std::size_t k = 1; k < n / 2; ++k) {
        if (std::abs(values[k]) > std::abs(values[peak])) {
            peak = k;
        }
    }
    const double left = std::log(std::abs(values[peak - 1]));
    const double middle = std::log(std::abs(values[peak]));
    const double right = std::log(std::abs(values[peak + 1]));
    const double offset = 0.5 * (left - right) / (left - 2 * middle + right);
    return (static_cast<double>(peak) + offset) * rate / static_cast<double>(n);
}

// Solves the symmetric system m x = v of size 2 or 3 by Gaussian elimination.
template <std::size_t N>
std::array<double, N> Solve(std::array<std::array<double, N>, N> m, std::array<double, N> v) {
    for (std::size_t col = 0; col < N; ++col) {
        for (std::size_t row = col + 1; row < N; ++row) {
            const double factor = m[row][col] / m[col][col];
            for (std::size_t k = col; k < N; ++k) {
                m[row][k] -= factor * m[col][k];
            }
            v[row] -= factor * v[col];
        }
    }
    std::array<double, N> x{};
    for (std::size_t row = N; row-- > 0;) {
        double sum = v[row];
        for (std::size_t k = row + 1; k < N; ++k) {
            sum -= m[row][k] * x[k];
        }
        x[row] = sum / m[row][row];
    }
    return x;
}

} // namespace

ToneFit FitTone(std::span<const float> frames, double rate) {
    const double middle = static_cast<double>(frames.size()) / 2;
    double omega = 2 * std::numbers::pi * PeakFrequency(frames, rate) / rate;
    double a = 0;
    double b = 0;
    for (int iteration = 0; iteration < 30; ++iteration) {
        // Linearised in the frequency around the current guess: columns cos, sin and the
        // derivative of the model by omega. Time counts from the middle to keep it well posed.
        std::array<std::array<double, 3>, 3> m{};
        std::array<double, 3> v{};
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const double t = static_cast<double>(i) - middle;
            const double c = std::cos(omega * t);
            const double s = std::sin(omega * t);
            const std::array<double, 3> column{c, s, t * (-a * s + b * c)};
            for (std::size_t r = 0; r < 3; ++r) {
                for (std::size_t k = 0; k < 3; ++k) {
                    m[r][k] += column[r] * column[k];
                }
                v[r] += column[r] * frames[i];
            }
        }
        if (iteration == 0) {
            const auto x = Solve<2>({{{m[0][0], m[0][1]}, {m[1][0], m[1][1]}}}, {v[0], v[1]});
            a = x[0];
            b = x[1];
            continue;
        }
        const auto x = Solve<3>(m, v);
        a = x[0];
        b = x[1];
        omega += x[2];
        if (std::abs(x[2]) < 1e-12) {
            break;
        }
    }
    double signal = 0;
    double rest = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const double t = static_cast<double>(i) - middle;
        const double fitted = a * std::cos(omega * t) + b * std::sin(omega * t);
        signal += fitted * fitted;
        rest += (frames[i] - fitted) * (frames[i] - fitted);
    }
    // a cos(w t) + b sin(w t) = r cos(w t - atan2(b, a)), with t counted from the middle.
    return {omega * rate / (2 * std::numbers::pi), std::hypot(a, b), 10 * std::log10(signal / rest),
            -std::atan2(b, a) - omega * middle};
}

double BufferSinadDb(const std::vector<std::int16_t>& buffer, int periods) {
    const auto n = static_cast<double>(buffer.size());
    const double omega = 2 * std::numbers::pi * periods / n;
    double a = 0;
    double b = 0;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        a += buffer[i] * std::cos(omega * static_cast<double>(i)) * 2 / n;
        b += buffer[i] * std::sin(omega * static_cast<double>(i)) * 2 / n;
    }
    double signal = 0;
    double rest = 0;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        const double fitted = a * std::cos(omega * static_cast<double>(i)) +
                              b * std::sin(omega * static_cast<double>(i));
        signal += fitted * fitted;
        rest += (buffer[i] - fitted) * (buffer[i] - fitted);
    }
    return rest > 0 ? 10 * std::log10(signal / rest) : std::numeric_limits<double>::infinity();
}
