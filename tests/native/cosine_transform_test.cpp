#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#ifdef TAVREL_HAVE_FFTW
#include <fftw3.h>
#endif

#include "cosine_transform.h"

namespace {

// Error relative to the norm of the exact result. Rounding grows like
// eps log2(n), a few 1e-15 here; any wrong term, sign, index or drifting
// rotation factor gives far more than 1e-12.
const double kRelativeTolerance = 1e-12;
const long double kPi = 3.141592653589793238462643383279502884L;

// C[k] = sum_j a[j] cos(pi (j + 1/2) k / n) in long double, the angle index
// (2j + 1) k reduced modulo 4n so each cosine is exact to long double rounding.
std::vector<double> NaiveDct(const std::vector<double>& a)
{
    const long long n = static_cast<long long>(a.size());
    std::vector<long double> cosine(4 * n), c(n);
    for (long long r = 0; r < 4 * n; ++r)
        cosine[r] = std::cos(kPi * r / (2 * n));
    for (long long k = 0; k < n; ++k)
        for (long long j = 0; j < n; ++j)
            c[k] += a[j] * cosine[((2 * j + 1) * k) % (4 * n)];
    return std::vector<double>(c.begin(), c.end());
}

// n values drawn uniformly from [-32768, 32768].
std::vector<double> RandomBlock(int n, unsigned stream)
{
    std::mt19937 generator(stream);
    std::uniform_real_distribution<double> value(-32768.0, 32768.0);
    std::vector<double> a(n);
    for (double& x : a)
        x = value(generator);
    return a;
}

// max_k |got[k] - want[k]| / ||want||.
double RelativeError(const std::vector<double>& got, const std::vector<double>& want)
{
    long double worst = 0, norm = 0;
    for (size_t k = 0; k < want.size(); ++k) {
        worst = std::max(worst, std::fabs(static_cast<long double>(got[k]) - want[k]));
        norm += static_cast<long double>(want[k]) * want[k];
    }
    return static_cast<double>(worst / std::sqrt(norm));
}

std::vector<double> Transformed(std::vector<double> a)
{
    ddct(static_cast<int>(a.size()), -1, a.data());
    return a;
}

// Against the definition and, independently, FFTW's REDFT10, which is twice it.
TEST(Ddct, MatchesTheDefinitionAndFftwAtEveryPowerOfTwo)
{
    for (int n = 2; n <= 4096; n *= 2) {
        const std::vector<double> input = RandomBlock(n, n);
        EXPECT_LE(RelativeError(Transformed(input), NaiveDct(input)), kRelativeTolerance) << n;
#ifdef TAVREL_HAVE_FFTW
        std::vector<double> in = input, out(n);
        fftw_plan plan = fftw_plan_r2r_1d(n, in.data(), out.data(), FFTW_REDFT10, FFTW_ESTIMATE);
        fftw_execute(plan);
        fftw_destroy_plan(plan);
        for (double& x : out)
            x *= 0.5;
        EXPECT_LE(RelativeError(Transformed(input), out), kRelativeTolerance) << n;
#endif
    }
}

TEST(Ddct, WorkedValuesAndConstantInput)
{
    const double c4 = 0.7071067811865476;  // cos(pi / 4)
    struct Case { std::vector<double> input, output; };
    const Case cases[] = {
        {{3, 1}, {4, 2 * c4}},  // (x, y) -> (x + y, (x - y) cos(pi / 4))
        {{-32768, 32767}, {-1, -65535 * c4}},
        {{1, 0, 0, 0}, {1, 0.9238795325112867, c4, 0.3826834323650898}},  // cos(pi k / 8)
    };
    for (const Case& c : cases) {
        const std::vector<double> got = Transformed(c.input);
        for (size_t k = 0; k < got.size(); ++k)
            EXPECT_NEAR(got[k], c.output[k], 4e-16 * std::max(1.0, std::fabs(c.output[k]))) << k;
    }
    // A constant gives its sum at k = 0 and nothing else.
    for (int n = 2; n <= 4096; n *= 2) {
        const std::vector<double> a = Transformed(std::vector<double>(n, -1234.5));
        EXPECT_NEAR(a[0], -1234.5 * n, 1234.5 * n * 1e-15) << n;
        for (int k = 1; k < n; ++k)
            ASSERT_NEAR(a[k], 0.0, 1234.5 * n * kRelativeTolerance) << n << " " << k;
    }
}

TEST(Ddct, KeepsNothingBetweenCallsAndLeavesWhatItDoesNotTransform)
{
    const std::vector<double> input = RandomBlock(512, 42), first = Transformed(input);
    Transformed(RandomBlock(256, 43));
    Transformed(RandomBlock(4096, 44));
    EXPECT_EQ(Transformed(input), first);  // to the last bit
    // Only isgn = -1, and n a power of two of at least 2.
    const int calls[][2] = {{16, 1}, {16, 0}, {16, -2}, {1, -1}, {0, -1}, {-4, -1}, {3, -1}, {12, -1}};
    for (const auto& call : calls) {
        std::vector<double> a = input;
        ddct(call[0], call[1], a.data());
        EXPECT_EQ(a, input) << "n " << call[0] << " isgn " << call[1];
    }
}

TEST(CoefficientToLevel, IsTwentyLog10AboveOneAndZeroElsewhere)
{
    const double cases[][2] = {
        {10, 20}, {100, 40}, {1, 0}, {0.5, 0}, {0, 0}, {-1000, 0},
        {std::numeric_limits<double>::quiet_NaN(), 0}, {-std::numeric_limits<double>::infinity(), 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(CoefficientToLevel(c[0]), c[1]) << c[0];
}

TEST(ApplyHalfSineWindow, IsSineOfPiIOverN)
{
    for (int n = 2; n <= 512; n *= 2) {
        std::vector<double> a(n, 1.0);
        ApplyHalfSineWindow(a.data(), n);
        // Not sin(pi i / (n - 1)). 4e-15: the double angle pi / n times i is
        // off by up to i ulps of pi / n.
        for (int i = 0; i < n; ++i)
            ASSERT_NEAR(a[i], static_cast<double>(std::sin(kPi * i / n)), 4e-15) << n << " " << i;
    }
}

TEST(ComputeLevelSpectrum, IsWindowThenTransformThenDecibelsAndPutsAToneAtItsBin)
{
    // Bin k of n samples at rate fs is k fs / (2n): 3750 Hz at 48000 Hz, n =
    // 256, is bin 40. The window splits a tone into bins 39 and 41, and a phase
    // unlike the cosines' leaks further, so over all phases the loudest bin is
    // within two of 40 (38 to 42 seen), and bins eight or more away are at
    // least 20 dB lower (26 dB seen at worst).
    const int n = 256, bin = 40;
    const double pi = static_cast<double>(kPi);
    for (int degrees = 0; degrees < 360; degrees += 15) {
        std::vector<double> a(n);
        for (int i = 0; i < n; ++i)
            a[i] = std::trunc(16000.0 * std::sin(2 * pi * 3750.0 * i / 48000.0 + pi * degrees / 180));
        std::vector<double> steps = a;
        ApplyHalfSineWindow(steps.data(), n);
        ddct(n, -1, steps.data());
        ComputeLevelSpectrum(a.data(), n);
        for (int k = 0; k < n; ++k)
            ASSERT_EQ(a[k], CoefficientToLevel(steps[k])) << k;
        const int loudest = static_cast<int>(std::max_element(a.begin(), a.end()) - a.begin());
        EXPECT_LE(std::abs(loudest - bin), 2) << "phase " << degrees;
        EXPECT_GT(a[loudest], 110.0) << "phase " << degrees;  // about 20 log10(16000 n / 4) = 120
        for (int k = 0; k < n; ++k)
            ASSERT_TRUE(std::abs(k - bin) < 8 || a[k] < a[loudest] - 20.0) << degrees << " " << k;
    }
}

}  // namespace
