// Level measurement: the one level measure of the system, the
// peak-to-peak level of a channel's block in decibels relative to the full
// 16-bit range, floored at -96 dB.
#ifndef TAVREL_ANALYSIS_LEVEL_H
#define TAVREL_ANALYSIS_LEVEL_H

// What a scan of no frames leaves in the peaks, and the level's floor.
const int kEmptyPeakMax = -2147483647 - 1;
const int kEmptyPeakMin = 2147483647;
const double kLevelFloorDecibel = -96.0;

// Scans one channel of frameCount frames of interleaved signed 16-bit samples
// (left, right) and stores the largest and smallest sample through maxOut and
// minOut. Channel 2 reads the second sample of each frame, any other channel
// number the first. A count of 0 or less reads nothing (frames may then be
// null) and leaves kEmptyPeakMax, kEmptyPeakMin.
void GetChannelPeaks(const short* frames, int channel, int frameCount, int* maxOut, int* minOut);

// 20 * log10((|max| + |min|) * (1 / 65535)), or -96.0 where that is lower or not
// a number. 0.0 for a full-scale block (32767, -32768); there is no upper
// clamp. The sum is formed in 64 bits; a sum beyond the 32-bit range counts as
// silence. Only pairs that no scan of real samples gives reach it, the
// empty-block pair kEmptyPeakMax, kEmptyPeakMin among them.
double PeakToPeakDecibel(int max, int min);

// GetChannelPeaks over frameCount frames, then PeakToPeakDecibel.
double GetChannelDecibel(const short* frames, int channel, int frameCount);

#endif
