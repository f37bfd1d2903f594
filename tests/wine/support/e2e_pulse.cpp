#include "tests/wine/support/e2e_pulse.h"

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "tests/wine/support/e2e_unix.h"

PrivatePulse::~PrivatePulse()
{
    Stop();
}

std::string PrivatePulse::Server() const
{
    return "unix:" + dir_ + "/native";
}

bool PrivatePulse::Start(const std::vector<NullSink>& sinks)
{
    Stop();
    if (dir_.empty())
        dir_ = E2eScratchName("pulse");
    sinks_ = sinks;
    std::string script = "load-module module-native-protocol-unix auth-anonymous=1 socket=" +
                         dir_ + "/native\n";
    for (const NullSink& s : sinks)
        script += "load-module module-null-sink sink_name=" + s.name + " rate=" +
                  std::to_string(s.rate) + " channels=2 sink_properties=device.description=" +
                  s.description + "\n";
    if (!sinks.empty())
        script += "set-default-sink " + sinks[0].name + "\nset-default-source " + sinks[0].name +
                  ".monitor\n";
    if (RunUnix("mkdir -p " + dir_ + "/run && chmod 700 " + dir_ + "/run").status != 0)
        return false;
    if (!WriteUnixFile(dir_ + "/server.pa", script.data(), script.size()))
        return false;
    // Its own runtime folder and home: nothing is shared with the
    // environment's server.
    group_ = StartUnixBackground("export LC_ALL=C XDG_RUNTIME_DIR=" + dir_ + "/run HOME=" + dir_ +
                                 "/run\nexec pulseaudio --daemonize=no --exit-idle-time=-1 "
                                 "--disallow-exit -n -F " + dir_ + "/server.pa --log-target=file:" +
                                 dir_ + "/server.log");
    if (group_ == 0)
        return false;
    for (int i = 0; i < 100; ++i) {
        if (Pactl("info"))
            return true;
        Sleep(100);
    }
    Stop();
    return false;
}

void PrivatePulse::Stop()
{
    if (group_ != 0) {
        StopUnixBackground(group_);
        group_ = 0;
    }
}

bool PrivatePulse::Pactl(const std::string& arguments, std::string* output)
{
    UnixResult r = RunUnix("LC_ALL=C PULSE_SERVER=" + Server() + " pactl " + arguments, 15000);
    if (output)
        *output = r.output;
    return r.status == 0;
}

bool PrivatePulse::UnloadSink(const std::string& sinkName)
{
    std::string modules;
    if (!Pactl("list short modules", &modules))
        return false;
    std::istringstream lines(modules);
    std::string line;
    const std::string key = "sink_name=" + sinkName + " ";
    while (std::getline(lines, line)) {
        if (line.find("module-null-sink") != std::string::npos &&
            line.find(key) != std::string::npos) {
            const int index = std::atoi(line.c_str());
            return Pactl("unload-module " + std::to_string(index));
        }
    }
    return false;
}

std::vector<short> ToneFrames(int rate, int frameCount, Tone left, Tone right)
{
    std::vector<short> frames(2 * static_cast<size_t>(frameCount));
    const double pi = 3.14159265358979323846;
    const Tone tones[2] = {left, right};
    for (int n = 0; n < frameCount; ++n) {
        for (int c = 0; c < 2; ++c) {
            double v = tones[c].offset +
                       tones[c].amplitude * std::sin(2 * pi * tones[c].hz * n / rate);
            v = std::floor(v + 0.5);
            if (v > 32767)
                v = 32767;
            if (v < -32768)
                v = -32768;
            frames[2 * static_cast<size_t>(n) + c] = static_cast<short>(v);
        }
    }
    return frames;
}

void ChannelExtremes(const std::vector<short>& frames, int channel, int* max, int* min)
{
    *max = -32769;
    *min = 32768;
    for (size_t i = channel == 2 ? 1 : 0; i < frames.size(); i += 2) {
        if (frames[i] > *max)
            *max = frames[i];
        if (frames[i] < *min)
            *min = frames[i];
    }
}

SignalPlayer::~SignalPlayer()
{
    Stop();
}

bool SignalPlayer::Start(const std::string& server, const std::string& sink, int rate,
                         const std::vector<short>& frames)
{
    Stop();
    const std::string file = E2eScratchName("signal") + ".raw";
    if (!WriteUnixFile(file, frames.data(), frames.size() * sizeof(short)))
        return false;
    // One pacat fed by an endless cat: no gap between the loops.
    group_ = StartUnixBackground("while cat " + file + "; do :; done | PULSE_SERVER=" + server +
                                 " pacat --playback --device=" + sink +
                                 " --format=s16le --channels=2 --rate=" + std::to_string(rate) +
                                 " --raw --latency-msec=60\n");
    return group_ != 0;
}

void SignalPlayer::Stop()
{
    if (group_ != 0) {
        StopUnixBackground(group_);
        group_ = 0;
    }
}
