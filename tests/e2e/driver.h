// Drives the built Tavrel.exe from outside, as a user runs it: started from a
// shell in its folder, with the test environment's PulseAudio or none, keys
// posted to its windows, texts read back with the wide API (the narrow one
// loses text across processes), message boxes found and answered, the
// registry key read and written.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

bool WaitUntil(const std::function<bool()>& done, DWORD ms = 5000);

// The Unix side: a bash script. Wine runs a Unix program but hands back no
// usable handle, so the script reports its end through a file in this run's
// scratch folder.
std::string Scratch();
int Sh(const std::string& script);  // its exit status; -1 on time-out

// HKCU\Software\Korvane\Tavrel: value name -> the data of a 4-byte REG_DWORD,
// or kNotDword for a value of any other shape.
using Stored = std::map<std::string, long long>;
const long long kNotDword = 1LL << 40;
const char kTavrelKey[] = "Software\\Korvane\\Tavrel";
inline void ClearKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kTavrelKey); }
inline void SetValue(const std::string& name, int value)  // as a REG_DWORD
{
    RegSetKeyValueA(HKEY_CURRENT_USER, kTavrelKey, name.c_str(), REG_DWORD, &value, 4);
}
Stored ReadKey();

inline RECT Place(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}  // the outer rectangle

struct Box {
    HWND window = nullptr, owner = nullptr;
    std::wstring caption, text;
};

// One run of Tavrel.exe; a run still going when this ends (a failed check) is
// ended with it.
class Tavrel {
public:
    enum { kWave, kXY, kDecibel, kFFT };
    ~Tavrel();
    // Returns once the shell has started it; no window is waited for. Without
    // a sound server, PULSE_SERVER names a socket nobody listens on. Until
    // its control dialog is found, the windows of any other process count
    // as its own (one run at a time).
    bool Start(bool soundServer, const std::string& unixFolder = "");
    // The control dialog (the title window is a dialog too, without controls,
    // for its first 2 s) and the four display windows; the process from them.
    bool FindWindows();
    std::vector<HWND> Shown(const wchar_t* className = nullptr) const;  // top-level, visible
    static std::wstring Text(HWND window)
    {
        wchar_t t[512] = {};
        GetWindowTextW(window, t, 512);
        return t;
    }
    std::wstring Item(int id) const { return Text(GetDlgItem(dialog, id)); }
    void Key(UINT virtualKey) const;  // a press and release as the keyboard queues them
    // Waits for a message box, notes what it shows, presses OK unless told not to.
    bool AnswerBox(Box* box, bool press = true) const;
    bool Captures() const;         // the block counter reaches 30
    DWORD Exit(DWORD ms = 10000);  // the exit code, or STILL_ACTIVE

    HWND dialog = nullptr, windows[4] = {};
    DWORD pid = 0;

private:
    HANDLE process_ = nullptr;
};
