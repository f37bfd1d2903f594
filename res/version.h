// The version, in one place: the About dialog's string, the version
// resource and the release's file names (scripts/release.sh reads
// TAVREL_VERSION from here).
#pragma once

#define TAVREL_VERSION              "1.00"
#define TAVREL_VERSION_NUMBERS      1, 0, 0, 0
