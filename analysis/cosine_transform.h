// Spectrum transform: the level spectrum of one channel for the FFT
// window, and the fast cosine transform behind it. Nothing here allocates or
// keeps state between calls; every function is re-entrant.
#ifndef TAVREL_ANALYSIS_COSINE_TRANSFORM_H
#define TAVREL_ANALYSIS_COSINE_TRANSFORM_H

// Cosine transform of type II, in place, O(n log n):
//
//     a[k] <- C[k] = sum_{j=0}^{n-1} a[j] * cos(pi * (j + 1/2) * k / n),  k = 0 .. n-1
//
// with no scale factor (C[0] is the plain sum; FFTW's REDFT10 is 2 * C).
// n must be a power of two. Only the forward direction isgn = -1, the one the
// system uses, is implemented: any other isgn, and an n that is not a power of
// two of at least 2, leave the array unchanged (for n = 1 that is C itself).
void ddct(int n, int isgn, double* a);

// The window step: a[i] *= sin((pi / n) * i) for i = 0 .. n-1, so a[0] becomes 0
// and a[n/2] keeps its value; the window is sin(pi i / n), not sin(pi i / (n-1)).
void ApplyHalfSineWindow(double* a, int n);

// The decibel step for one coefficient: 20 * log10(c) where that is >= 0,
// otherwise 0. The signed coefficient counts, so every c <= 1 (0 and any
// negative value included) and NaN give 0.
double CoefficientToLevel(double c);

// Level spectrum of n samples of one channel (raw 16-bit values as doubles, in
// time order): ApplyHalfSineWindow, ddct(n, -1, a), then CoefficientToLevel of
// each coefficient. On return a[k] is the level of bin k in dB, >= 0.
void ComputeLevelSpectrum(double* a, int n);

#endif
