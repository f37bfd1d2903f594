// The level spectrum and the cosine transform of type II.
//
// ddct implements the definition in cosine_transform.h, derived as below.
//
// How ddct computes C[k] = sum_j a[j] cos(pi (2j+1) k / (2n)), for n = 2N >= 8:
//
// 1. Pair each even sample with the odd one before it: s_m = a[2m] + a[2m-1],
//    d_m = a[2m] - a[2m-1] (m = 1 .. N-1). With B = pi k / (2n),
//        a[2m] cos((4m+1)B) + a[2m-1] cos((4m-1)B) = cos B s_m cos(4mB) - sin B d_m sin(4mB),
//    and the two samples left over add a[0] cos B + a[n-1] (-1)^k cos B. So
//        C[k]   = (cos B (y[k] + y[n-k]) - sin B (y[n-k] - y[k])) / 4,
//        C[n-k] = (sin B (y[k] + y[n-k]) + cos B (y[n-k] - y[k])) / 4,
//    where y is the real inverse DFT of length n of the half-complex spectrum
//    X[0] = 2 a[0], X[m] = s_m + i d_m, X[N] = 2 a[n-1]:
//        y[k] = X[0] + X[N] (-1)^k + 2 sum_{m=1}^{N-1} Re(X[m] e^{i pi m k / N}).
// 2. That real inverse DFT is one complex inverse DFT of length N: u = IDFT(U)
//    gives u[q] = y[2q] + i y[2q+1], with
//        U[m] = E + T, U[N-m] = conj(E - T),  E = X[m] + conj X[N-m],
//        T = i e^{i pi m / N} (X[m] - conj X[N-m]),
//    so U[0] = 2 (s_0 + i d_0) with s_0, d_0 = a[0] +- a[n-1], and U[N/2] = 2 conj X[N/2].
//    Steps 1 and 2 run as one in-place pass (Unpack).
// 3. The complex inverse FFT: radix-4 decimation in frequency, in place, then a
//    bit-reversal permutation (InverseFft). Its output, read as n reals, is y.
// 4. The rotation of step 1 on the pairs (k, n-k), in place (PostRotate).
// n = 2 and n = 4 are written out.
//
// Rotation factors are computed during the call, never stored: a run of
// consecutive angles j * delta comes from ForEachRotation, which evaluates
// cos/sin directly at the start of every kRestart angles and steps in between,
// so rounding errors cannot pile up over long runs (the largest error measured
// against an exact sum is about 2e-16 of the result's norm up to n = 4096).
// The symmetries of the sine and cosine halve how many factors each pass needs.
//
// A complex value is held as a GCC/Clang vector of two doubles (re, im), so one
// SSE2 instruction does both halves of a complex addition.
#include "cosine_transform.h"

#include <cmath>

namespace {

const double kPi = 3.141592653589793;
const double kSqrtHalf = 0.7071067811865476;  // cos(pi/4)
const double kCosPi8 = 0.9238795325112867;    // cos(pi/8)
const double kSinPi8 = 0.3826834323650898;    // sin(pi/8) = cos(3 pi/8)

// Angles a recurrence may step before cos/sin are evaluated afresh.
const int kRestart = 32;

// Calls f(j, c, s) with (c, s) = scale * (cos(j delta), sin(j delta)) for
// j = first .. last-1 in increasing order. Every group of four angles is
// formed from one base angle times fixed offsets of delta, 2 delta, 3 delta, and
// the base steps by 4 delta with the recurrence x += x * (e^{4 i delta} - 1),
// whose small factor keeps the rounding low. Independent products also keep
// the recurrence's latency out of the callers' loops.
template <class F> inline void ForEachRotation(int first, int last, double delta, double scale, F f)
{
    if (first >= last)
        return;
    const double c1 = std::cos(delta), s1 = std::sin(delta);
    const double c2 = c1 * c1 - s1 * s1, s2 = 2 * c1 * s1;
    const double c3 = c1 * c2 - s1 * s2, s3 = c1 * s2 + s1 * c2;
    // e^{4 i delta} - 1 = (-2 sin^2(2 delta), sin(4 delta)).
    const double alpha = 2 * s2 * s2, beta = 2 * s2 * c2;
    for (int block = first; block < last; block += kRestart) {
        const int end = block + kRestart < last ? block + kRestart : last;
        double c, s;
        if (block == 1) {
            c = scale * c1;
            s = scale * s1;
        } else {
            c = scale * std::cos(block * delta);
            s = scale * std::sin(block * delta);
        }
        for (int j = block; j < end; j += 4) {
            f(j, c, s);
            if (j + 1 < end)
                f(j + 1, c * c1 - s * s1, c * s1 + s * c1);
            if (j + 2 < end)
                f(j + 2, c * c2 - s * s2, c * s2 + s * c2);
            if (j + 3 < end)
                f(j + 3, c * c3 - s * s3, c * s3 + s * c3);
            const double nextC = c - (alpha * c + beta * s);
            s = s - (alpha * s - beta * c);
            c = nextC;
        }
    }
}

// One complex value (re, im).
typedef double Complex __attribute__((vector_size(16)));

inline Complex MakeComplex(double re, double im)
{
    const Complex v = {re, im};
    return v;
}

inline Complex Load(const double* p)
{
    Complex v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

inline void Store(double* p, Complex v)
{
    __builtin_memcpy(p, &v, sizeof v);
}

inline Complex Swapped(Complex v)
{
    return __builtin_shufflevector(v, v, 1, 0);
}

inline Complex TimesI(Complex v)
{
    return Swapped(v) * MakeComplex(-1.0, 1.0);
}

inline Complex Conjugate(Complex v)
{
    return v * MakeComplex(1.0, -1.0);
}

// A rotation factor c + i s, laid out for Rotate: (c, c) and (-s, s).
struct Rotation {
    Complex cc, ss;
};

inline Rotation MakeRotation(double c, double s)
{
    return Rotation{MakeComplex(c, c), MakeComplex(-s, s)};
}

inline Complex Rotate(Complex v, Rotation w)
{
    return v * w.cc + Swapped(v) * w.ss;
}

// Radix-4 butterfly of the inverse transform on x0 .. x3 at p, p + step, p + 2
// step, p + 3 step (step in doubles). Frequency residues 0, 2, 1, 3 go to the
// four places in this order, each times its factor (w^0, w^2, w^1, w^3), so
// that the whole transform ends in plain bit-reversed order.
inline void Butterfly4(double* p, int step, Rotation w1, Rotation w2, Rotation w3)
{
    const Complex x0 = Load(p), x1 = Load(p + step), x2 = Load(p + 2 * step),
                  x3 = Load(p + 3 * step);
    const Complex t0 = x0 + x2, t1 = x0 - x2, t2 = x1 + x3, t3 = TimesI(x1 - x3);
    Store(p, t0 + t2);
    Store(p + step, Rotate(t0 - t2, w2));
    Store(p + 2 * step, Rotate(t1 + t3, w1));
    Store(p + 3 * step, Rotate(t1 - t3, w3));
}

inline void Butterfly4Plain(double* p, int step)
{
    const Complex x0 = Load(p), x1 = Load(p + step), x2 = Load(p + 2 * step),
                  x3 = Load(p + 3 * step);
    const Complex t0 = x0 + x2, t1 = x0 - x2, t2 = x1 + x3, t3 = TimesI(x1 - x3);
    Store(p, t0 + t2);
    Store(p + step, t0 - t2);
    Store(p + 2 * step, t1 + t3);
    Store(p + 3 * step, t1 - t3);
}

// One radix-4 pass over all groups of L complex values (L >= 16). The factor of
// butterfly j is w^j, w = e^{2 pi i / L}; butterfly q - j (q = L/4) uses the
// mirrored factors i conj(w^j), -conj(w^2j), -i conj(w^3j).
void Radix4Pass(double* a, int N, int L)
{
    const int q = L / 4, step = 2 * q;
    for (int b = 0; b < N; b += L)
        Butterfly4Plain(a + 2 * b, step);
    const Rotation e1 = MakeRotation(kSqrtHalf, kSqrtHalf), e2 = MakeRotation(0.0, 1.0),
                   e3 = MakeRotation(-kSqrtHalf, kSqrtHalf);
    for (int b = 0; b < N; b += L)
        Butterfly4(a + 2 * (b + q / 2), step, e1, e2, e3);
    ForEachRotation(1, q / 2, 2 * kPi / L, 1.0, [&](int j, double c, double s) {
        const double c2 = c * c - s * s, s2 = 2 * c * s;
        const double c3 = c * c2 - s * s2, s3 = c * s2 + s * c2;
        const Rotation w1 = MakeRotation(c, s), w2 = MakeRotation(c2, s2),
                       w3 = MakeRotation(c3, s3);
        const Rotation v1 = MakeRotation(s, c), v2 = MakeRotation(-c2, s2),
                       v3 = MakeRotation(-s3, -c3);
        for (int b = 0; b < N; b += L) {
            Butterfly4(a + 2 * (b + j), step, w1, w2, w3);
            Butterfly4(a + 2 * (b + q - j), step, v1, v2, v3);
        }
    });
}

// The last stages on groups of 8: one radix-4 step (factors 1 and e^{i pi/4}),
// then a 2-point butterfly on each pair.
void Last8(double* a, int N)
{
    const Rotation e1 = MakeRotation(kSqrtHalf, kSqrtHalf), e2 = MakeRotation(0.0, 1.0),
                   e3 = MakeRotation(-kSqrtHalf, kSqrtHalf);
    for (int b = 0; b < N; b += 8) {
        double* p = a + 2 * b;
        Butterfly4Plain(p, 4);
        Butterfly4(p + 2, 4, e1, e2, e3);
        for (int k = 0; k < 16; k += 4) {
            const Complex x = Load(p + k), y = Load(p + k + 2);
            Store(p + k, x + y);
            Store(p + k + 2, x - y);
        }
    }
}

void Last4(double* a, int N)
{
    for (int b = 0; b < N; b += 4)
        Butterfly4Plain(a + 2 * b, 2);
}

inline void SwapComplex(double* a, int i, int j)
{
    const Complex x = Load(a + 2 * i);
    Store(a + 2 * i, Load(a + 2 * j));
    Store(a + 2 * j, x);
}

// Puts the N complex values (N >= 4) from bit-reversed into natural order. For
// each even i < N/2 with j its reverse: i + N/2 and j + 1 swap always, and i, j
// and i + N/2 + 1, j + N/2 + 1 swap when i < j.
void BitReverse(double* a, int N)
{
    const int half = N / 2;
    for (int i = 0, j = 0; i < half; i += 2) {
        if (i < j) {
            SwapComplex(a, i, j);
            SwapComplex(a, i + half + 1, j + half + 1);
        }
        SwapComplex(a, i + half, j + 1);
        int bit = N >> 2;
        while (j & bit) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
}

// u[q] = sum_m U[m] e^{2 pi i m q / N} for the N >= 4 complex values of a.
void InverseFft(double* a, int N)
{
    int L = N;
    for (; L > 8; L /= 4)
        Radix4Pass(a, N, L);
    if (L == 8)
        Last8(a, N);
    else
        Last4(a, N);
    BitReverse(a, N);
}

// U[m] and U[mm] (mm = N - m) from the even slots a[2m], a[2mm] and the original
// odd slots before them (oddBeforeM = a[2m-1], oddBeforeMm = a[2mm-1]);
// w = e^{i pi m / N}.
inline void UnpackPair(double* a, int m, int mm, double oddBeforeM, double oddBeforeMm, Rotation w)
{
    const Complex xm = MakeComplex(a[2 * m], a[2 * m]) + MakeComplex(oddBeforeM, -oddBeforeM);
    const Complex xmm =
        Conjugate(MakeComplex(a[2 * mm], a[2 * mm]) + MakeComplex(oddBeforeMm, -oddBeforeMm));
    const Complex e = xm + xmm;
    const Complex t = TimesI(Rotate(xm - xmm, w));
    Store(a + 2 * m, e + t);
    Store(a + 2 * mm, Conjugate(e - t));
}

// Steps 1 and 2 for n = 2N >= 8, in place. The pairs m, N-m, N/2-m, N/2+m share
// one factor and go by increasing m. Each pair needs the original odd slot
// before it; the two of those that earlier writes have overwritten by then
// (before pairs m and N/2+m) are carried from the previous step.
void Unpack(double* a, int n)
{
    const int N = n / 2, half = N / 2, quarter = N / 4;
    double oddBeforeLow = a[1];       // original a[2m - 1] for the coming m
    double oddBeforeHigh = a[N + 1];  // original a[N + 2m - 1]
    const double first = a[0], last = a[n - 1];
    a[0] = 2 * (first + last);
    a[1] = 2 * (first - last);
    const double middle = a[N], beforeMiddle = a[N - 1];
    a[N] = 2 * (middle + beforeMiddle);
    a[N + 1] = -2 * (middle - beforeMiddle);
    ForEachRotation(1, quarter, kPi / N, 1.0, [&](int m, double c, double s) {
        const double nextLow = a[2 * m + 1], nextHigh = a[N + 2 * m + 1];
        UnpackPair(a, m, N - m, oddBeforeLow, a[2 * (N - m) - 1], MakeRotation(c, s));
        UnpackPair(a, half - m, half + m, a[N - 2 * m - 1], oddBeforeHigh, MakeRotation(s, c));
        oddBeforeLow = nextLow;
        oddBeforeHigh = nextHigh;
    });
    UnpackPair(a, quarter, N - quarter, oddBeforeLow, oddBeforeHigh,
               MakeRotation(kSqrtHalf, kSqrtHalf));
}

// (y[k], y[kk]) -> (C[k], C[kk]) for kk = n - k, with (c, s) = (cos B, sin B) / 4.
inline void RotatePair(double* a, int k, int kk, double c, double s)
{
    const double sum = a[k] + a[kk], difference = a[kk] - a[k];
    a[k] = c * sum - s * difference;
    a[kk] = s * sum + c * difference;
}

// Step 4 for n >= 8. The pair N-k, N+k has the angle pi/4 - B, whose cosine and
// sine are (cos B + sin B) / sqrt 2 and (cos B - sin B) / sqrt 2.
void PostRotate(double* a, int n)
{
    const int N = n / 2;
    a[0] *= 0.5;
    a[N] *= 0.5 * kSqrtHalf;
    RotatePair(a, n / 4, n - n / 4, 0.25 * kCosPi8, 0.25 * kSinPi8);
    ForEachRotation(1, n / 4, kPi / (2 * n), 0.25, [&](int k, double c, double s) {
        RotatePair(a, k, n - k, c, s);
        RotatePair(a, N - k, N + k, kSqrtHalf * (c + s), kSqrtHalf * (c - s));
    });
}

}  // namespace

void ddct(int n, int isgn, double* a)
{
    if (isgn != -1 || n < 2 || (n & (n - 1)) != 0)
        return;
    if (n == 2) {
        const double x = a[0], y = a[1];
        a[0] = x + y;
        a[1] = kSqrtHalf * (x - y);
        return;
    }
    if (n == 4) {
        const double p = a[0] + a[3], q = a[0] - a[3], r = a[1] + a[2], t = a[1] - a[2];
        a[0] = p + r;
        a[1] = kCosPi8 * q + kSinPi8 * t;
        a[2] = kSqrtHalf * (p - r);
        a[3] = kSinPi8 * q - kCosPi8 * t;
        return;
    }
    Unpack(a, n);
    InverseFft(a, n / 2);
    PostRotate(a, n);
}

void ApplyHalfSineWindow(double* a, int n)
{
    if (n <= 0)
        return;
    const double theta = kPi / n;
    for (int i = 0; i < n; ++i)
        a[i] *= std::sin(theta * i);
}

double CoefficientToLevel(double c)
{
    // 20 log10(c) is below 0 exactly when c < 1, and is not a number for c < 0:
    // all of these, and c = 1 itself, give the floor without taking the logarithm.
    if (!(c > 1.0))
        return 0.0;
    return 20.0 * std::log10(c);
}

void ComputeLevelSpectrum(double* a, int n)
{
    ApplyHalfSineWindow(a, n);
    ddct(n, -1, a);
    for (int k = 0; k < n; ++k)
        a[k] = CoefficientToLevel(a[k]);
}
