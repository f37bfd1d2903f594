// The level measure and the level spectrum, against values worked from their
// definitions: 20 log10(sum / 65535) and C[k] = sum_j a[j] cos(pi (j + 1/2) k / n).
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "cosine_transform.h"
#include "level.h"

TEST(Level, PeakToPeakDecibelReferenceValues)
{
    // Tolerance: half a unit of the last digit given; the floor and 0 dB are exact.
    const struct {
        int max, min;
        double level, tolerance;
    } cases[] = {
        {32767, -32768, 0.0, 0},           // sum 65535: full scale
        {-32768, -32768, 0.000133, 5e-7},  // 65536: no upper clamp
        {32392, -32393, -0.09998, 5e-6},   // 64785: just above the red mark
        {32392, -32392, -0.1001, 5e-5},    // 64784: just below it
        {16384, -16384, -6.0205, 5e-5},    // 32768
        {1000, 1000, -30.31, 5e-3},        // 2000: magnitudes, not max - min
        {1, 0, -96.0, 0},
        {0, 0, -96.0, 0},                         // -96.33 floored; the log of 0
        {-2147483647 - 1, 2147483647, -96.0, 0},  // what a scan of no frames leaves
    };
    for (const auto& c : cases)
        EXPECT_NEAR(PeakToPeakDecibel(c.max, c.min), c.level, c.tolerance) << c.max << " " << c.min;
}

TEST(Level, GetChannelPeaksReadsTheChosenSampleOfTheCountedFrames)
{
    const short frames[] = {-1234, 7, -4000, 400, 30, -300, 32767, -32768};
    const struct {
        int channel, count, max, min;
    } cases[] = {
        {1, 2, -1234, -4000},  // an all-negative block keeps its signs
        {1, 3, 30, -4000},     // the fourth frame is not counted
        {2, 3, 400, -300},     // channel 2: the second sample
        {0, 3, 30, -4000},     // any other number: the first
        {2, 4, 400, -32768},  {1, 0, -2147483647 - 1, 2147483647},  // no frames: the start pair
    };
    for (const auto& c : cases) {
        int max = 99, min = 99;
        GetChannelPeaks(frames, c.channel, c.count, &max, nullptr);  // null is not written
        GetChannelPeaks(frames, c.channel, c.count, nullptr, &min);
        EXPECT_EQ(max, c.max) << c.channel << "/" << c.count;
        EXPECT_EQ(min, c.min) << c.channel << "/" << c.count;
    }
    EXPECT_NEAR(GetChannelDecibel(frames, 2, 3), -39.43, 5e-3);  // sum 700 of the counted frames
}

// The definition, summed in long double with the angle index reduced modulo 4n.
static std::vector<double> NaiveDct(const std::vector<double>& a)
{
    const long long n = static_cast<long long>(a.size());
    const long double pi = 3.141592653589793238462643383279502884L;
    std::vector<double> c(n);
    for (long long k = 0; k < n; ++k) {
        long double sum = 0;
        for (long long j = 0; j < n; ++j)
            sum += a[j] * std::cos(pi * (((2 * j + 1) * k) % (4 * n)) / (2 * n));
        c[k] = static_cast<double>(sum);
    }
    return c;
}

static std::vector<double> Ddct(std::vector<double> a)
{
    ddct(static_cast<int>(a.size()), -1, a.data());
    return a;
}

TEST(Transform, DdctMatchesTheDefinitionAtEveryPowerOfTwo)
{
    // 1e-12 of the largest possible coefficient, 32768 n: rounding stays near
    // 1e-16 log2 n of it, while a wrong term, sign or rotation factor moves a
    // coefficient by a sample's share, about 1/n of it.
    std::mt19937 generator(13);
    std::uniform_real_distribution<double> sample(-32768.0, 32767.0);
    for (int n = 2; n <= 1024; n *= 2) {
        std::vector<double> a(n);
        for (double& x : a)
            x = sample(generator);
        const std::vector<double> got = Ddct(a), want = NaiveDct(a);
        for (int k = 0; k < n; ++k)
            ASSERT_NEAR(got[k], want[k], 1e-12 * 32768 * n) << "n " << n << " k " << k;
    }
}

TEST(Transform, DdctWorkedValues)
{
    // To double rounding: a few ulps of the largest value (20).
    const double c4 = 0.7071067811865476;
    const struct {
        std::vector<double> in, out;
    } cases[] = {
        {{1, 0, 0, 0}, {1, 0.9238795325112867, c4, 0.3826834323650898}},
        {{3, -5}, {-2, 8 * c4}},                                     // (x + y, (x - y) cos(pi / 4))
        {std::vector<double>(8, -2.5), {-20, 0, 0, 0, 0, 0, 0, 0}},  // a constant: n c, then 0
    };
    for (const auto& c : cases) {
        const std::vector<double> got = Ddct(c.in);
        for (size_t k = 0; k < got.size(); ++k)
            EXPECT_NEAR(got[k], c.out[k], 1e-14) << c.in.size() << " " << k;
    }
}

TEST(Transform, HalfSineWindowIsSinPiIOverN)
{
    // sin(pi i / 4); the last factor is not 0 as sin(pi i / (n - 1)) would be.
    const double want[] = {0, 0.7071067811865476, 1, 0.7071067811865476};
    std::vector<double> a(4, 1.0);
    ApplyHalfSineWindow(a.data(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(a[i], want[i], 1e-15) << i;
}

TEST(Transform, DecibelStepUsesTheSignedCoefficientWithFloorZero)
{
    const double cases[][2] = {{10, 20}, {100, 40}, {1, 0}, {0.5, 0}, {0, 0}, {-1000, 0}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(CoefficientToLevel(c[0]), c[1]) << c[0];
}

TEST(Transform, LevelSpectrumIsWindowTransformDecibels)
{
    // Worked from the definitions (window, sum, 20 log10 or 0), to the 1e-6 dB
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
}
