// The level measure and the level spectrum, against values worked from their
// definitions: 20 log10(sum / 65535) and C[k] = sum_j a[j] cos(pi (j + 1/2) k / n).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "cosine_transform.h"
#include "level.h"

TEST(Level, PeakToPeakDecibelAndChannelPeaks)
{
    // max, min, level to 1e-6 dB. The sums, row by row: 65536 (no upper clamp), 32768, 65535 (full
    // scale); 64785 and, below, 64784 either side of the red mark; 2000 (magnitudes, not max -
    // min); 1 and 0 floored (-96.33, the log of 0); the pair a scan of no frames leaves.
    const double levels[][3] = {
        {-32768, -32768, 0.000133}, {16384, -16384, -6.020467}, {32767, -32768, 0.0},
        {32392, -32393, -0.099977}, {1000, 1000, -30.308866},   {1, 0, -96.0},
        {32392, -32392, -0.100111}, {INT_MIN, INT_MAX, -96.0},  {0, 0, -96.0},
    };
    for (const auto& c : levels)
        EXPECT_NEAR(PeakToPeakDecibel(c[0], c[1]), c[2], 1e-6) << c[0] << " " << c[1];
    // channel, count, max, min: an all-negative block keeps its signs; the fourth frame is not
    // counted; channel 2 reads the second sample, any other number the first; no frames leave
    // the start pair.
    const short frames[] = {-1234, 7, -4000, 400, 30, -300, 32767, -32768};
    const int peaks[][4] = {{1, 2, -1234, -4000}, {1, 3, 30, -4000},   {2, 3, 400, -300},
                            {0, 3, 30, -4000},    {2, 4, 400, -32768}, {1, 0, INT_MIN, INT_MAX}};
    for (const auto& c : peaks) {
        int max = 99, min = 99;
        GetChannelPeaks(frames, c[0], c[1], &max, &min);
        EXPECT_EQ(std::make_pair(max, min), std::make_pair(c[2], c[3])) << c[0] << "/" << c[1];
    }
    EXPECT_NEAR(GetChannelDecibel(frames, 2, 3), -39.43, 5e-3);  // sum 700 of the counted frames
}

TEST(Transform, LevelSpectrumAndDdctAgainstTheirDefinitions)
{
    // The decibel step: 20 log10 c of the signed coefficient, 0 at and below 1.
    const double steps[][2] = {{10, 20}, {100, 40}, {1, 0}, {0.5, 0}, {0, 0}, {-1000, 0}};
    for (const auto& c : steps)
        EXPECT_DOUBLE_EQ(CoefficientToLevel(c[0]), c[1]) << c[0];
    // Worked from the definitions (window sin(pi i / n), sum, 20 log10 or 0), to the 1e-6 dB
    // printed. No window, sin(pi i / (n - 1)) or |c| would move bins by decibels.
    std::vector<double> a = {100, -300, 500, 200, -700, 0, 900, -100};
    const double want[] = {50.147726, 0, 54.065052, 0, 0, 63.877328, 28.715769, 0};
    ComputeLevelSpectrum(a.data(), 8);
    for (int k = 0; k < 8; ++k)
        EXPECT_NEAR(a[k], want[k], 1e-6) << k;
    // A cosine of bin 40 at n = 256: the windowed sum puts 122.302794 dB there,
    // and every other coefficient is below 1.
    std::vector<double> tone(256);
    for (int j = 0; j < 256; ++j)
        tone[j] = 16000 * std::cos(3.141592653589793 * (j + 0.5) * 40 / 256);
    ComputeLevelSpectrum(tone.data(), 256);
    for (int k = 0; k < 256; ++k)
        EXPECT_NEAR(tone[k], k == 40 ? 122.302794 : 0.0, 1e-6) << k;
    // The definition, summed in long double with the angle index reduced modulo 4n, against
    // 1e-12 of the largest possible coefficient, 32768 n: rounding stays near 1e-16 log2 n of
    // it, while a wrong term, sign or rotation factor moves a coefficient by a sample's share,
    // about 1/n of it.
    const long double pi = 3.141592653589793238462643383279502884L;
    std::mt19937 generator(13);
    std::uniform_real_distribution<double> sample(-32768.0, 32767.0);
    for (int n = 2; n <= 1024; n *= 2) {
        std::vector<double> in(n);
        for (double& x : in)
            x = sample(generator);
        std::vector<double> got = in;
        ddct(n, -1, got.data());
        for (int k = 0; k < n; ++k) {
            long double sum = 0;
            for (long long j = 0; j < n; ++j)
                sum += in[j] * std::cos(pi * (((2 * j + 1) * k) % (4 * n)) / (2 * n));
            ASSERT_NEAR(got[k], static_cast<double>(sum), 1e-12 * 32768 * n) << n << " " << k;
        }
    }
}
