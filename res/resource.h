// Resource IDs. The numbers are fixed: stored templates and the command
// table refer to them.
#pragma once

// Dialogs
#define IDD_CONTROL                 101
#define IDD_SETTINGS                103
#define IDD_ABOUT                   105
#define IDD_TITLE                   112

// Menu and accelerators
#define IDR_MAINMENU                102
#define IDR_ACCELERATORS            109

// Icons
#define IDI_TAVREL                  106
#define IDI_WAVE                    107
#define IDI_RESURGE                 108
#define IDI_DECIBEL                 110
#define IDI_FFT                     111

// Bitmaps
#define IDB_ABOUT_LEFT              114
#define IDB_ABOUT_RIGHT             116

// Strings
#define IDS_VERSION                 1
#define IDS_HOMEPAGE                2

// Control dialog
#define IDC_STARTSTOP               1002
#define IDC_COUNTER                 1003
#define IDC_FORMAT                  1004

// Settings dialog
#define IDC_DEVICE_LIST             1000
#define IDC_SAMPLING_RATE           1001
#define IDC_THIN_RESURGE            1006
#define IDC_RESURGE_X_CHANNEL       1008
#define IDC_RESURGE_Y_CHANNEL       1009
#define IDC_SHOW_CHANNEL_NAME       1010
#define IDC_CAUTION_LEVEL           1011
#define IDC_CAUTION_SPIN            1012
#define IDC_DEFAULTS                1013
#define IDC_SETTINGS_HELP           1014
#define IDC_SKIP_ALL_ON_OVERLOAD    1015
#define IDC_SKIP_RESURGE_ON_OVERLOAD 1016

// About dialog
#define IDC_ABOUT_TITLE             1007
#define IDC_ABOUT_HOMEPAGE          1009

// Commands
#define IDM_EXIT                    40001
#define IDM_TOGGLE_WAVE             40002
#define IDM_SETTINGS                40003
#define IDM_TOGGLE_RESURGE          40004
#define IDM_ABOUT                   40005
#define IDM_PLAYBACK_VOLUME         40006
#define IDM_TOGGLE_DECIBEL          40008
#define IDM_HELP                    40010
#define IDM_TOGGLE_FFT              40011
#define IDM_HOMEPAGE                40012
#define IDM_GPL_ENGLISH             40013
#define IDM_GPL_JAPANESE            40014
#define IDM_RECORDING_VOLUME        40015

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif
