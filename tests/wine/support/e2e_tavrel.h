// Starting Tavrel the way the README's run command does: `wine Tavrel.exe`
// from a shell in its folder, here with the PulseAudio server of a test's
// choice. (A Windows process started by CreateProcess inherits the Unix
// environment of the test process, whatever environment block it is given,
// so a different sound server needs a start from the shell.)
#pragma once
#include <windows.h>

#include <string>

#include "tests/wine/support/tavrel_process.h"

// The build's bin folder as a Unix path ($TAVREL_BIN_DIR).
std::string TavrelBinDirectoryUnix();

// Starts <binDirUnix>/Tavrel.exe (the build's when empty) with PULSE_SERVER
// set to pulseServer (the environment's own when empty) and waits for its
// control dialog. The process handle is opened by id, so the process can be
// waited for and ended like one that CreateProcess started.
bool LaunchTavrel(TavrelProcess* process, const std::string& pulseServer,
                  const std::string& binDirUnix = "", DWORD timeoutMs = 20000);

// The same start, but returns as soon as the new Tavrel process exists,
// without waiting for its control dialog (for starts that stop at a message
// box first). processId is set; controlDialog stays null.
bool LaunchTavrelNoWait(TavrelProcess* process, const std::string& pulseServer,
                        const std::string& binDirUnix = "", DWORD timeoutMs = 20000);

// Copies the build's bin folder into a new scratch folder (Unix path) so a
// test can change files there; the build's own folder is never touched.
std::string CopyBinFolder(const std::string& name);
