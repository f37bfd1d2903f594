// PulseAudio servers of a test's own, and signals played into them.
//
// A private server has its own socket and null sinks; Tavrel is pointed at
// it through PULSE_SERVER when it is started from the shell (e2e_tavrel.h).
// Unloading its sinks or stopping it leaves the environment's shared server,
// which the other suites use, untouched.
#pragma once

#include <string>
#include <vector>

struct NullSink {
    std::string name;         // sink name; its monitor "<name>.monitor" is a capture device
    int rate;                 // Hz; the format Tavrel then captures without resampling
    std::string description;  // shown as "Monitor of <description>" in the device list
};

class PrivatePulse {
public:
    PrivatePulse() = default;
    ~PrivatePulse();
    PrivatePulse(const PrivatePulse&) = delete;
    PrivatePulse& operator=(const PrivatePulse&) = delete;

    // Starts a server with these sinks, the first one's monitor the default
    // source. An empty list gives a server with no capture device at all.
    bool Start(const std::vector<NullSink>& sinks);
    // Ends the server; Start again brings the same sinks back on the same socket.
    void Stop();
    bool Running() const { return group_ != 0; }

    // "unix:<socket>", for PULSE_SERVER.
    std::string Server() const;
    // Runs pactl against this server; its output with LC_ALL=C.
    bool Pactl(const std::string& arguments, std::string* output = nullptr);
    // Unloads the module that made the sink; false when there is none.
    bool UnloadSink(const std::string& sinkName);

private:
    std::string dir_;
    std::vector<NullSink> sinks_;
    int group_ = 0;
};

// Interleaved stereo frames of a tone on each channel:
// round(offset + amplitude x sin(2 pi hz n / rate)), in 16-bit range.
struct Tone {
    double hz;
    double amplitude;
    double offset;
};
std::vector<short> ToneFrames(int rate, int frameCount, Tone left, Tone right);
// Largest and smallest sample of one channel (1 left, 2 right).
void ChannelExtremes(const std::vector<short>& frames, int channel, int* max, int* min);

// Plays frames in a loop, without gaps, into a sink until stopped.
class SignalPlayer {
public:
    SignalPlayer() = default;
    ~SignalPlayer();
    SignalPlayer(const SignalPlayer&) = delete;
    SignalPlayer& operator=(const SignalPlayer&) = delete;

    // frames should hold whole periods of every tone, so the loop is seamless.
    bool Start(const std::string& server, const std::string& sink, int rate,
               const std::vector<short>& frames);
    void Stop();

private:
    int group_ = 0;
};
