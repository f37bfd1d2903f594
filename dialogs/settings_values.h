// What the settings dialog offers and how it reads its controls back. No
// platform headers: the parsing rules and the reset are tested natively.
#pragma once

class Settings;

const int kSamplingRateChoiceCount = 10;
// List order as shown, not sorted: the 8 kHz family, then the 11025 family.
extern const int kSamplingRateChoices[kSamplingRateChoiceCount];

const int kThinResurgeChoiceCount = 10;
extern const int kThinResurgeChoices[kThinResurgeChoiceCount];

const int kChannelChoiceCount = 2;
// Channel n (1 = left, 2 = right) is named kChannelNames[n - 1].
extern const char* const kChannelNames[kChannelChoiceCount];

// The up-down control's range: its "lower" end is -1 and its "upper" end
// -96, so the up arrow moves toward -96 and both ends wrap.
const int kCautionSpinLower = -1;
const int kCautionSpinUpper = -96;

// A decimal integer, as an edit box or list item holds it: optional blanks,
// an optional sign, at least one digit, optional blanks, nothing else, and a
// value that fits in 32 bits. False (value untouched) for anything else.
bool ParseSignedDecimal(const char* text, int* value);
// The number in text, or fallback when text is null or not a number.
int ParseDecimalOr(const char* text, int fallback);

// The up-down control holds 16-bit positions: the low 16 bits of level,
// taken as a signed number.
int CautionSpinPosition(int level);

// The dialog's Defaults button: the device, the capture options, the X-Y
// options, the caution level and the Wave, X-Y and Decibel visibility flags
// go back to the settings table's defaults. The FFT flag and all positions
// and sizes stay as they are.
void ResetDialogSettings(Settings& settings);
