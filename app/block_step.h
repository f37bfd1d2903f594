// One step of the main loop per capture notification.
#pragma once

// Reads the new blocks, moves the counter and the sweep on and has every shown
// display window draw. Returns false when the capture read failed (the user
// has been told; the run ends).
bool RunBlockStep();
