#pragma once
// A deliberately plain transcription of the activity calculation, one line per
// step of the algorithm: every window summed afresh, every conversion through
// the checked helpers of common/. The tests and the benchmark hold the
// production routine against it; keep it naive.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "analysis/SampleFrame.h"
#include "common/Numbers.h"

namespace zorvex::test {

struct ReferenceActivity {
    int count = 0;
    bool overflow = false;  ///< a 16-bit quantity did not fit: frame row and trace left as they were
};

using ReferenceTrace = std::array<std::int16_t, 501>;

/// The activity count of `channel`, clipping the row in place and leaving the
/// threshold in `detectionTrace`, exactly as the algorithm is written.
inline ReferenceActivity referenceActivity(SampleFrame& frame, int channel, double snr, int method,
                                           ReferenceTrace& detectionTrace) {
    // s(0..500); past the end of a short bin the last sample of the bin repeats.
    const int binLength = std::clamp(frame.rtBuffer(), 1, 500);
    std::array<std::int16_t, 501> s{};
    for (int i = 0; i <= 500; ++i) s[i] = frame.at(channel, std::min(i, binLength - 1));

    std::array<std::int16_t, 501> U{};
    std::array<std::int16_t, 501> L{};
    std::array<std::int16_t, 501> C{};
    std::array<double, 501> B{};
    std::array<double, 501> S{};
    ReferenceTrace D = detectionTrace;
    int count = 0;

    auto envelopePass = [&](std::int16_t start, std::int32_t& meanAmplitude, std::int32_t& meanLevel) {
        U[0] = start;
        U[1] = start;
        L[0] = start;
        L[1] = start;
        std::int32_t amplitudeSum = 0;
        std::int32_t levelSum = 0;
        int positions = 0;
        for (int i = 2; i <= 498; ++i) {
            U[i] = U[i - 1];
            L[i] = L[i - 1];
            if (s[i] < s[i - 1] && s[i] < s[i + 1]) L[i] = s[i];
            if (s[i] > s[i - 1] && s[i] > s[i + 1]) U[i] = s[i];
            amplitudeSum = amplitudeSum + U[i] - L[i];
            levelSum = levelSum + s[i];
            positions = positions + 1;
        }
        meanAmplitude = toInt32(static_cast<double>(amplitudeSum) / positions);
        meanLevel = toInt32(static_cast<double>(levelSum) / positions);
    };

    auto windowMean = [&](int w) {
        std::int32_t sum = 0;
        if (w >= 30) {
            for (int j = w - 30; j <= w - 1; ++j) sum = sum + U[j];
        } else {
            for (int j = w + 1; j <= w + 30; ++j) sum = sum + U[j];
        }
        return toInt32(static_cast<double>(sum) / 30);
    };

    auto sumOfThree = [](std::int16_t a, std::int16_t b, std::int16_t c) {
        return checkedInt16(checkedInt16(a + b) + c);
    };

    try {
        // 1. envelope pass 1
        std::int32_t A1 = 0;
        std::int32_t M1 = 0;
        envelopePass(s[1], A1, M1);

        // 2. noise margin 1
        double P1 = 0;
        if (M1 <= 0) {
            P1 = snr;
        } else {
            P1 = (1 - static_cast<double>(M1 - A1) / M1) * 100 * snr;
        }
        double K1 = P1 + 1;
        if (K1 < 1) K1 = 1;

        // 3. clip trace, 4. clipping
        for (int w = 0; w <= 499; ++w) {
            std::int32_t W = windowMean(w);
            double v = (K1 + 100) * W / 100;
            if (w <= 3) {
                C[w] = toInt16(v);
            } else {
                C[w] = toInt16((sumOfThree(C[w - 1], C[w - 2], C[w - 3]) + v) / 4);
            }
            if (s[w] > C[w]) s[w] = C[w];
        }

        // 5. envelope pass 2, noise margin 2, amplitude threshold
        std::int32_t A2 = 0;
        std::int32_t M2 = 0;
        envelopePass(s[2], A2, M2);
        double P2 = 0;
        if (M2 > 0 && M2 > A2) {
            P2 = (1 - static_cast<double>(M2 - A2) / M2) * 100 * snr;
        } else {
            P2 = snr;
        }
        double K2 = P2 + 1;
        if (K2 < 1) K2 = 1;
        std::int16_t T = checkedInt16(A2);
        if (T < 5) T = 5;

        if (method == 0 || method == 1) {
            // 6. detection trace, 7. counting
            bool flag = false;
            int windowCounter = 0;
            for (int w = 0; w <= 499; ++w) {
                std::int32_t W = windowMean(w);
                if (w <= 3) {
                    D[w] = toInt16((100 - 1.75 * K2) / 100 * W);
                } else {
                    D[w] = toInt16((sumOfThree(D[w - 1], D[w - 2], D[w - 3]) + (100 - K2) * W / 100) / 4);
                }
                if (method == 1) {
                    if (s[w] < D[w] && !flag) {
                        count = count + 1;
                        flag = true;
                    }
                    if (s[w] > D[w]) flag = false;
                } else {
                    if (s[w] < D[w]) flag = true;
                    if (windowCounter == 30 && flag) {
                        count = count + 1;
                        flag = false;
                    }
                    if (windowCounter == 30) windowCounter = 0;
                    windowCounter = windowCounter + 1;
                }
            }
        } else if (method == 2) {
            // 8.1 moving minimum
            for (int w = 0; w <= 499; ++w) {
                double minimum = 9999;
                if (w < 449) {
                    for (int j = w; j <= w + 49; ++j) minimum = std::min(minimum, static_cast<double>(s[j]));
                } else {
                    for (int j = w - 49; j <= w; ++j) minimum = std::min(minimum, static_cast<double>(s[j]));
                }
                B[w] = minimum;
            }
            // 8.2 moving average in place
            for (int w = 0; w <= 499; ++w) {
                double sum = 0;
                if (w < 449) {
                    for (int j = w; j <= w + 49; ++j) sum = sum + B[j];
                } else {
                    for (int j = w - 49; j <= w; ++j) sum = sum + B[j];
                }
                B[w] = sum / 50;
            }
            // 8.3 detrend
            for (int w = 0; w <= 499; ++w) B[w] = s[w] - B[w];
            // 8.4 smooth
            for (int w = 0; w <= 499; ++w) {
                double sum = 0;
                if (w < 489) {
                    for (int j = w; j <= w + 9; ++j) sum = sum + B[j];
                } else {
                    for (int j = w - 9; j <= w; ++j) sum = sum + B[j];
                }
                S[w] = sum / 10;
            }
            // 8.5 excursion count
            bool rising = false;
            int r = 0;
            std::int32_t pivot = 0;
            for (int k = 1; k <= 499; ++k) {
                if (S[k] < S[k - 1]) {
                    if (rising) {
                        rising = false;
                        r = 0;
                        pivot = toInt32(S[k]);
                    } else {
                        r = r + 1;
                    }
                }
                if (S[k] > S[k - 1]) {
                    if (!rising) {
                        rising = true;
                        r = 0;
                        pivot = toInt32(S[k]);
                    } else {
                        r = r + 1;
                    }
                }
                if (std::abs(pivot - S[k]) > T && r == 10) count = count + 1;
                D[k] = toInt16(S[k] - T);
            }
        }
    } catch (const OverflowError&) {
        return {0, true};
    }

    for (int i = 0; i < binLength; ++i) frame.at(channel, i) = s[i];
    detectionTrace = D;
    return {count, false};
}

}  // namespace zorvex::test
