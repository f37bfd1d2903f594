#include "tests/wine/support/e2e_tavrel.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "tests/wine/support/e2e_unix.h"
#include "tests/wine/support/e2e_windows.h"

std::string TavrelBinDirectoryUnix()
{
    const char* dir = std::getenv("TAVREL_BIN_DIR");
    return dir ? dir : "";
}

namespace {

std::set<DWORD> TavrelProcessIds()
{
    std::set<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, "Tavrel.exe") == 0)
            ids.insert(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

bool FindVisibleControlDialog(TavrelProcess* process)
{
    HWND dialog = FindProcessWindow(process->info.dwProcessId, "#32770", "Tavrel");
    if (dialog && IsWindowVisible(dialog)) {
        process->controlDialog = dialog;
        return true;
    }
    return false;
}

}  // namespace

bool LaunchTavrelNoWait(TavrelProcess* process, const std::string& pulseServer,
                        const std::string& binDirUnix, DWORD timeoutMs)
{
    const std::string dir = binDirUnix.empty() ? TavrelBinDirectoryUnix() : binDirUnix;
    const std::set<DWORD> before = TavrelProcessIds();
    std::string script = "cd " + ShellQuote(dir) + " || exit 1\n";
    if (!pulseServer.empty())
        script += "export PULSE_SERVER=" + ShellQuote(pulseServer) + "\n";
    script += "exec \"${WINE:-wine64}\" Tavrel.exe\n";
    if (StartUnixBackground(script) == 0)
        return false;
    DWORD pid = 0;
    WaitUntil(
        [&] {
            for (DWORD id : TavrelProcessIds())
                if (!before.count(id))
                    pid = id;
            return pid != 0;
        },
        timeoutMs);
    if (pid == 0)
        return false;
    process->info = PROCESS_INFORMATION{};
    process->info.dwProcessId = pid;
    process->info.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    process->controlDialog = nullptr;
    return process->info.hProcess != nullptr;
}

bool LaunchTavrel(TavrelProcess* process, const std::string& pulseServer,
                  const std::string& binDirUnix, DWORD timeoutMs)
{
    if (!LaunchTavrelNoWait(process, pulseServer, binDirUnix, timeoutMs))
        return false;
    return WaitUntil(
        [&] {
            return FindVisibleControlDialog(process) ||
                   WaitForSingleObject(process->info.hProcess, 0) == WAIT_OBJECT_0;
        },
        timeoutMs) &&
           process->controlDialog != nullptr;
}

std::string CopyBinFolder(const std::string& name)
{
    const std::string to = E2eScratchDir() + "/" + name;
    UnixResult r = RunUnix("rm -rf " + ShellQuote(to) + " && mkdir -p " + ShellQuote(to) +
                           " && cp -a " + ShellQuote(TavrelBinDirectoryUnix()) + "/. " +
                           ShellQuote(to) + "/");
    return r.status == 0 ? to : "";
}
