#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#ifdef TAVREL_HAVE_FFTW
#include <fftw3.h>
#endif

#include "analysis/spectrum.h"

// Tolerance of ddct against a reference, relative to the Euclidean norm of the
// exact result. The transform's rounding error grows like eps * log2(n) times
// the norm (eps = 2^-53 = 1.1e-16, log2(n) <= 12 here): a few 1e-15 at worst,
// and about 1e-16 measured. 1e-12 leaves a wide margin for that, yet any wrong
// term, sign or index, or rotation factors that drift by more than ~1e-12 (a
// recurrence left to run without restarts, a constant with too few digits)
// gives errors far above it.
const double kRelativeTolerance = 1e-12;

namespace {

const long double kPiLong = 3.141592653589793238462643383279502884L;

// cos(pi (j + 1/2) k / n) in long double. The angle index (2j+1) k is reduced
// modulo 4n first, so the cosine is of an angle below 2 pi and correct to long
// double rounding.
long double Basis(long long j, long long k, long long n)
{
    return std::cos(kPiLong * (((2 * j + 1) * k) % (4 * n)) / (2 * n));
}

// The definition, C[k] = sum_j a[j] cos(pi (j + 1/2) k / n), summed in long double.
std::vector<long double> NaiveDct(const std::vector<double>& a)
{
    const long long n = static_cast<long long>(a.size());
    std::vector<long double> cosine(4 * n);
    for (long long r = 0; r < 4 * n; ++r)
        cosine[r] = Basis(0, r, n);
    std::vector<long double> c(n);
    for (long long k = 0; k < n; ++k) {
        long double sum = 0;
        for (long long j = 0; j < n; ++j)
            sum += a[j] * cosine[((2 * j + 1) * k) % (4 * n)];
        c[k] = sum;
    }
    return c;
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
template <class T>
double RelativeError(const std::vector<double>& got, const std::vector<T>& want)
{
    long double worst = 0, norm = 0;
    for (size_t k = 0; k < want.size(); ++k) {
        worst = std::max(worst, std::fabs(static_cast<long double>(got[k]) - want[k]));
        norm += static_cast<long double>(want[k]) * want[k];
    }
    return static_cast<double>(norm > 0 ? worst / std::sqrt(norm) : worst);
}

std::vector<double> Transformed(std::vector<double> a)
{
    ddct(static_cast<int>(a.size()), -1, a.data());
    return a;
}

std::vector<int> PowersOfTwo(int from, int to)
{
    std::vector<int> sizes;
    for (int n = from; n <= to; n *= 2)
        sizes.push_back(n);
    return sizes;
}

}  // namespace

TEST(Ddct, MatchesTheDefinitionAtEveryPowerOfTwo)
{
    double worstOverall = 0;
    for (int n : PowersOfTwo(2, 4096)) {
        for (unsigned draw = 1; draw <= 3; ++draw) {
            const std::vector<double> input = RandomBlock(n, draw * 7919u + static_cast<unsigned>(n));
            const double error = RelativeError(Transformed(input), NaiveDct(input));
            EXPECT_LE(error, kRelativeTolerance) << "n " << n << " draw " << draw;
            worstOverall = std::max(worstOverall, error);
        }
    }
    std::printf("ddct against the long double sum, n = 2 ... 4096: max error %.3g of the norm\n",
                worstOverall);
}

TEST(Ddct, TwoPointWorkedValues)
{
    // (x, y) -> (x + y, (x - y) cos(pi/4)).
    std::vector<double> a = {3.0, 1.0};
    ddct(2, -1, a.data());
    EXPECT_DOUBLE_EQ(a[0], 4.0);
    EXPECT_DOUBLE_EQ(a[1], 2.0 * 0.7071067811865476);
    a = {-32768.0, 32767.0};
    ddct(2, -1, a.data());
    EXPECT_DOUBLE_EQ(a[0], -1.0);
    EXPECT_DOUBLE_EQ(a[1], -65535.0 * 0.7071067811865476);
}

TEST(Ddct, FourPointWorkedValues)
{
    // (1, 0, 0, 0) -> cos(pi (0 + 1/2) k / 4), k = 0 .. 3.
    std::vector<double> a = {1.0, 0.0, 0.0, 0.0};
    ddct(4, -1, a.data());
    const double want[] = {1.0, 0.9238795325112867, 0.7071067811865476, 0.3826834323650898};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(a[k], want[k], 2e-16) << "k " << k;
    // Each unit impulse gives its column of the definition.
    for (int j = 0; j < 4; ++j) {
        std::vector<double> impulse(4, 0.0);
        impulse[j] = 1.0;
        ddct(4, -1, impulse.data());
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(impulse[k], static_cast<double>(Basis(j, k, 4)), 4e-16)
                << "j " << j << " k " << k;
    }
}

TEST(Ddct, ImpulsesGiveColumnsOfTheDefinition)
{
    // Small sizes, every position: the cosines themselves.
    for (int n : PowersOfTwo(8, 64)) {
        for (int j = 0; j < n; ++j) {
            std::vector<double> a(n, 0.0);
            a[j] = 1.0;
            ddct(n, -1, a.data());
            for (int k = 0; k < n; ++k)
                ASSERT_NEAR(a[k], static_cast<double>(Basis(j, k, n)), 1e-15)
                    << "n " << n << " j " << j << " k " << k;
        }
    }
}

TEST(Ddct, ConstantInputGivesOnlyTheSum)
{
    for (int n : PowersOfTwo(2, 4096)) {
        const double c = -1234.5;
        std::vector<double> a(n, c);
        ddct(n, -1, a.data());
        const double sum = n * c;
        EXPECT_NEAR(a[0], sum, std::fabs(sum) * 1e-15) << "n " << n;
        for (int k = 1; k < n; ++k)
            ASSERT_NEAR(a[k], 0.0, std::fabs(sum) * kRelativeTolerance) << "n " << n << " k " << k;
    }
}

TEST(Ddct, KeepsNothingBetweenCalls)
{
    // Same input, same output to the last bit, whatever ran in between.
    const std::vector<double> input = RandomBlock(512, 42);
    const std::vector<double> first = Transformed(input);
    Transformed(RandomBlock(256, 43));
    Transformed(RandomBlock(4096, 44));
    const std::vector<double> again = Transformed(input);
    EXPECT_EQ(0, std::memcmp(first.data(), again.data(), first.size() * sizeof(double)));
}

TEST(Ddct, OtherDirectionsAndSizesLeaveTheArray)
{
    // Only isgn = -1 is implemented; n must be a power of two of at least 2.
    const std::vector<double> input = RandomBlock(16, 5);
    for (int isgn : {1, 0, -2}) {
        std::vector<double> a = input;
        ddct(16, isgn, a.data());
        EXPECT_EQ(a, input) << "isgn " << isgn;
    }
    for (int n : {1, 0, -4, 3, 6, 12}) {
        std::vector<double> a = input;
        ddct(n, -1, a.data());
        EXPECT_EQ(a, input) << "n " << n;
    }
}

#ifdef TAVREL_HAVE_FFTW
TEST(Ddct, AgreesWithFftwRedft10Halved)
{
    // An independent implementation: FFTW's REDFT10 is 2 sum_j a[j] cos(pi (j + 1/2) k / n).
    double worst = 0;
    for (int n : PowersOfTwo(2, 4096)) {
        const std::vector<double> input = RandomBlock(n, 100u + static_cast<unsigned>(n));
        std::vector<double> in(input), out(n);
        fftw_plan plan = fftw_plan_r2r_1d(n, in.data(), out.data(), FFTW_REDFT10, FFTW_ESTIMATE);
        ASSERT_NE(plan, nullptr);
        in = input;
        fftw_execute(plan);
        fftw_destroy_plan(plan);
        for (double& x : out)
            x *= 0.5;
        const double error = RelativeError(Transformed(input), out);
        EXPECT_LE(error, kRelativeTolerance) << "n " << n;
        worst = std::max(worst, error);
    }
    std::printf("ddct against FFTW REDFT10 / 2, n = 2 ... 4096: max difference %.3g of the norm\n", worst);
}
#endif

TEST(CoefficientToLevel, FloorsEverythingAtOrBelowOne)
{
    struct Case {
        double coefficient, level;
    };
    const Case cases[] = {
        {10.0, 20.0}, {1.0, 0.0},     {0.5, 0.0},   {0.0, 0.0},     {-0.0, 0.0},
        {-1000.0, 0.0}, {100.0, 40.0}, {1e6, 120.0}, {-1e300, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(CoefficientToLevel(c.coefficient), c.level) << "coefficient " << c.coefficient;
    EXPECT_EQ(CoefficientToLevel(std::numeric_limits<double>::quiet_NaN()), 0.0);
    EXPECT_EQ(CoefficientToLevel(-std::numeric_limits<double>::infinity()), 0.0);
    // Just above 1 the level is small and positive, as 20 log10 gives it.
    EXPECT_GT(CoefficientToLevel(std::nextafter(1.0, 2.0)), 0.0);
    EXPECT_EQ(CoefficientToLevel(32768.0 * 256), 20.0 * std::log10(32768.0 * 256));
}

TEST(ApplyHalfSineWindow, IsSineOfPiIOverN)
{
    for (int n : PowersOfTwo(2, 512)) {
        std::vector<double> a(n, 1.0);
        ApplyHalfSineWindow(a.data(), n);
        const double theta = 3.141592653589793 / n;
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(a[i], std::sin(theta * i)) << "n " << n << " i " << i;
        EXPECT_EQ(a[0], 0.0);
        EXPECT_EQ(a[n / 2], 1.0);
        // The last factor is sin(pi (n-1) / n) = sin(pi / n), not 0.
        EXPECT_NE(a[n - 1], 0.0);
        EXPECT_NEAR(a[n - 1], std::sin(theta), 1e-15);
    }
}

TEST(ApplyHalfSineWindow, FirstSampleBecomesZeroWhateverItWas)
{
    for (double first : {32767.0, -32768.0, 1.0, 0.0}) {
        std::vector<double> a = RandomBlock(256, 9);
        a[0] = first;
        ApplyHalfSineWindow(a.data(), 256);
        EXPECT_EQ(a[0], 0.0);
    }
}

TEST(ComputeLevelSpectrum, AllZerosGiveAllZeros)
{
    for (int n : PowersOfTwo(2, 512)) {
        std::vector<double> a(n, 0.0);
        ComputeLevelSpectrum(a.data(), n);
        for (int k = 0; k < n; ++k)
            ASSERT_EQ(a[k], 0.0) << "n " << n << " k " << k;
    }
}

TEST(ComputeLevelSpectrum, ImpulseAtTheFirstSampleIsWindowedAway)
{
    std::vector<double> a(256, 0.0);
    a[0] = 32767.0;
    ComputeLevelSpectrum(a.data(), 256);
    for (int k = 0; k < 256; ++k)
        ASSERT_EQ(a[k], 0.0) << "k " << k;
}

TEST(ComputeLevelSpectrum, IsWindowThenTransformThenDecibels)
{
    for (int n : {64, 256, 512}) {
        const std::vector<double> input = RandomBlock(n, 77);
        std::vector<double> steps = input;
        ApplyHalfSineWindow(steps.data(), n);
        ddct(n, -1, steps.data());
        for (double& x : steps)
            x = CoefficientToLevel(x);
        std::vector<double> a = input;
        ComputeLevelSpectrum(a.data(), n);
        EXPECT_EQ(a, steps) << "n " << n;
        for (double level : a)
            EXPECT_GE(level, 0.0);
    }
}

TEST(ComputeLevelSpectrum, ToneLandsAtItsBin)
{
    // Bin k of n samples at sampling rate fs is the frequency k fs / (2n): a
    // tone of 3750 Hz at 48000 Hz with n = 256 is bin 40. The half-sine window
    // multiplies the tone by sin(pi i / n), which splits it into the two
    // neighbouring frequencies, bins 39 and 41, with opposite signs, and a tone
    // whose phase does not match the cosines leaks into nearby bins. So over all
    // phases the loudest bin is within two of 40 (checked every degree: 38 to
    // 42), and every bin eight or more away is at least 20 dB lower (26 dB
    // measured at worst).
    const int n = 256, expectedBin = 40;
    const double fs = 48000.0, f = 3750.0;
    for (int degrees = 0; degrees < 360; degrees += 15) {
        const double phase = 3.141592653589793 * degrees / 180.0;
        std::vector<double> a(n);
        for (int i = 0; i < n; ++i)
            a[i] = std::trunc(16000.0 * std::sin(2 * 3.141592653589793 * f * i / fs + phase));
        ComputeLevelSpectrum(a.data(), n);
        int loudest = 0;
        for (int k = 1; k < n; ++k) {
            if (a[k] > a[loudest])
                loudest = k;
        }
        EXPECT_LE(std::abs(loudest - expectedBin), 2) << "phase " << degrees;
        // About 20 log10(16000 n / 4) = 120 dB.
        EXPECT_GT(a[loudest], 110.0) << "phase " << degrees;
        for (int k = 0; k < n; ++k) {
            if (std::abs(k - expectedBin) >= 8) {
                EXPECT_LT(a[k], a[loudest] - 20.0) << "phase " << degrees << " k " << k;
            }
        }
    }
}
