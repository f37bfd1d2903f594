// The Unix side of the private test environment, reached from a test that
// runs under Wine: shell scripts (pactl, pacat, xdotool, wine itself) and
// files under Unix paths.
//
// Wine starts a Unix program given to CreateProcess but hands back no
// process handle for it, so every script here reports its end through a
// file that the test polls.
#pragma once
#include <windows.h>

#include <string>

// "/tmp/x" -> "Z:\tmp\x" (Wine maps the Unix root to drive Z:).
std::string UnixToWinePath(const std::string& unixPath);

// A folder of this test process's own, made on first use under the
// environment folder ($TAVREL_WINE_ENV), as a Unix path.
std::string E2eScratchDir();
// A fresh name inside the scratch folder: prefix + a counter.
std::string E2eScratchName(const char* prefix);
// Removes the scratch folder (a suite does this when every test passed, and
// keeps it, with its screenshots and logs, otherwise).
void RemoveE2eScratchDir();

struct UnixResult {
    int status;          // the script's exit status; -1 when it did not end in time
    std::string output;  // stdout and stderr together
};

// Runs the script with /bin/sh in the test's own environment (the Japanese
// locale of the Wine environment) and waits for it to end.
UnixResult RunUnix(const std::string& script, DWORD timeoutMs = 30000);

// Starts the script in the background as the leader of a new process group
// and returns that group's id, or 0 when it did not start.
int StartUnixBackground(const std::string& script);
// Ends the whole process group started above and waits until it is gone.
void StopUnixBackground(int processGroup);

bool WriteUnixFile(const std::string& unixPath, const void* data, size_t size);
bool ReadUnixFile(const std::string& unixPath, std::string* data);

// Single-quoted for the shell.
std::string ShellQuote(const std::string& text);
