// The block the display windows draw: the shared sample buffer as the
// capture session left it, read in one place.
#pragma once

struct SharedBlock {
    const short* frames;  // interleaved left, right; null while no capture runs
    int count;            // frames; 0 whenever frames is null
};

SharedBlock GetSharedBlock();
// The capture format's rate as the frequency scale uses it; 0 before the
// first start or stop.
int GetSharedSamplingRate();
