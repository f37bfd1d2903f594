#include "tests/wine/support/e2e_unix.h"

#include <cstdio>
#include <cstdlib>

std::string UnixToWinePath(const std::string& unixPath)
{
    std::string path = unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}

std::string E2eScratchDir()
{
    static std::string dir;
    if (dir.empty()) {
        const char* env = std::getenv("TAVREL_WINE_ENV");
        std::string base = env && env[0] == '/' ? env : "/tmp";
        dir = base + "/e2e-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(UnixToWinePath(dir).c_str(), nullptr);
    }
    return dir;
}

std::string E2eScratchName(const char* prefix)
{
    static int counter = 0;
    return E2eScratchDir() + "/" + prefix + std::to_string(++counter);
}

void RemoveE2eScratchDir()
{
    // Not through RunUnix, whose own files live in the folder: a shell that
    // removes it is started and left to finish on its own.
    // Wine splits a Unix program's command line by the Windows rules: double
    // quotes group, single quotes do not.
    std::string commandLine = "/bin/sh -c \"rm -rf " + E2eScratchDir() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
        if (info.hProcess)
            CloseHandle(info.hProcess);
        if (info.hThread)
            CloseHandle(info.hThread);
    }
}

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\"'\"'";
        else
            quoted += c;
    }
    return quoted + "'";
}

bool WriteUnixFile(const std::string& unixPath, const void* data, size_t size)
{
    HANDLE file = CreateFileA(UnixToWinePath(unixPath).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const char* bytes = static_cast<const char*>(data);
    bool ok = true;
    while (size > 0 && ok) {
        DWORD chunk = size > (1u << 24) ? (1u << 24) : static_cast<DWORD>(size);
        DWORD written = 0;
        ok = WriteFile(file, bytes, chunk, &written, nullptr) && written == chunk;
        bytes += chunk;
        size -= chunk;
    }
    CloseHandle(file);
    return ok;
}

bool ReadUnixFile(const std::string& unixPath, std::string* data)
{
    data->clear();
    HANDLE file = CreateFileA(UnixToWinePath(unixPath).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        data->append(buffer, got);
    CloseHandle(file);
    return true;
}

static bool UnixFileExists(const std::string& unixPath)
{
    return GetFileAttributesA(UnixToWinePath(unixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

UnixResult RunUnix(const std::string& script, DWORD timeoutMs)
{
    const std::string base = E2eScratchName("sh");
    const std::string wrapper =
        "(\n" + script + "\n) > " + base + ".out 2>&1 < /dev/null\n"
        "echo $? > " + base + ".tmp && mv " + base + ".tmp " + base + ".done\n";
    if (!WriteUnixFile(base + ".sh", wrapper.data(), wrapper.size()))
        return {-1, "cannot write " + base + ".sh"};

    std::string commandLine = "/bin/sh " + base + ".sh";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Wine runs a Unix program itself; the handles it returns are not usable.
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return {-1, "cannot start /bin/sh"};
    if (info.hProcess)
        CloseHandle(info.hProcess);
    if (info.hThread)
        CloseHandle(info.hThread);

    UnixResult result{-1, ""};
    const DWORD start = GetTickCount();
    while (!UnixFileExists(base + ".done")) {
        if (GetTickCount() - start > timeoutMs) {
            ReadUnixFile(base + ".out", &result.output);
            return result;
        }
        Sleep(20);
    }
    std::string status;
    ReadUnixFile(base + ".done", &status);
    result.status = std::atoi(status.c_str());
    ReadUnixFile(base + ".out", &result.output);
    return result;
}

int StartUnixBackground(const std::string& script)
{
    const std::string base = E2eScratchName("bg");
    if (!WriteUnixFile(base + ".sh", script.data(), script.size()))
        return 0;
    // A background job of a script is no group leader, so setsid makes it
    // one without forking: its pid is the new group's id.
    UnixResult r = RunUnix("setsid /bin/sh " + base + ".sh > " + base + ".out 2>&1 < /dev/null &\n"
                           "echo $! > " + base + ".pid");
    if (r.status != 0)
        return 0;
    std::string pid;
    ReadUnixFile(base + ".pid", &pid);
    return std::atoi(pid.c_str());
}

void StopUnixBackground(int processGroup)
{
    if (processGroup <= 1)
        return;
    const std::string group = std::to_string(processGroup);
    // Members that are zombies (no one may reap them here) count as gone.
    const std::string alive = "ps -eo pgid=,stat= | awk '$1 == " + group +
                              " && $2 !~ /^Z/ { found = 1 } END { exit !found }'";
    RunUnix("kill -TERM -" + group + " 2>/dev/null\n"
            "for i in $(seq 50); do " + alive + " || exit 0; sleep 0.1; done\n"
            "kill -KILL -" + group + " 2>/dev/null; exit 0",
            15000);
}
