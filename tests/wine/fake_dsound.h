// A test double of DirectSound capture, in memory: the test moves the read
// position, writes the captured bytes and makes single calls fail. Install it
// by assigning the capture object to g_pDirectSoundCapture. Objects live as
// long as the FakeDirectSoundCapture; Release only counts down.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <dsound.h>

#include <functional>
#include <memory>
#include <vector>

// A capture buffer and its notify interface in one object, sharing one count.
class FakeCaptureBuffer final : public IDirectSoundCaptureBuffer, public IDirectSoundNotify {
public:
    explicit FakeCaptureBuffer(const DSCBUFFERDESC& d)
        : desc(d), format(*d.lpwfxFormat), bytes(d.dwBufferBytes)
    {
        desc.lpwfxFormat = &format;
    }

    STDMETHOD(QueryInterface)(REFIID riid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(GetCaps)(LPDSCBCAPS) override { return E_NOTIMPL; }
    STDMETHOD(GetCurrentPosition)(LPDWORD capture, LPDWORD read) override
    {
        if (SUCCEEDED(positionResult))
            *capture = capturePosition, *read = readPosition;
        return positionResult;
    }
    // The session asks for the whole record.
    STDMETHOD(GetFormat)(LPWAVEFORMATEX out, DWORD, LPDWORD written) override
    {
        if (SUCCEEDED(getFormatResult))
            *out = format, *written = sizeof(format);
        return getFormatResult;
    }
    STDMETHOD(GetStatus)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(LPDIRECTSOUNDCAPTURE, LPCDSCBUFFERDESC) override { return E_NOTIMPL; }
    STDMETHOD(Lock)
    (DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD length1, LPVOID* part2, LPDWORD length2,
     DWORD flags) override;
    STDMETHOD(Start)(DWORD flags) override
    {
        started = SUCCEEDED(startResult);
        startFlags = flags;
        return startResult;
    }
    STDMETHOD(Stop)() override
    {
        started = started && FAILED(stopResult);
        return stopResult;
    }
    STDMETHOD(Unlock)(LPVOID part1, DWORD length1, LPVOID part2, DWORD length2) override;
    STDMETHOD(SetNotificationPositions)(DWORD count, LPCDSBPOSITIONNOTIFY given) override
    {
        if (SUCCEEDED(setPositionsResult))
            positions.assign(given, given + count);
        return setPositionsResult;
    }

    // Writes frames (left, right) into the ring from a byte offset on, wrapping.
    void WriteFrames(DWORD byteOffset, const short* frames, size_t frameCount);

    LONG refs = 1;
    DSCBUFFERDESC desc;   // as given to CreateCaptureBuffer
    WAVEFORMATEX format;  // the format it was created with
    std::vector<unsigned char> bytes;
    std::vector<DSBPOSITIONNOTIFY> positions;
    DWORD readPosition = 0, capturePosition = 0;  // set by the test

    HRESULT positionResult = S_OK, lockResult = S_OK, getFormatResult = S_OK, startResult = S_OK,
            stopResult = S_OK, queryNotifyResult = S_OK, setPositionsResult = S_OK;
    // Added to the first part's length by Lock: a driver handing out too much.
    DWORD lockOverstate = 0;

    bool started = false, locked = false;
    DWORD startFlags = 0;
    int lockCalls = 0, badUnlocks = 0;  // badUnlocks: Unlock calls not matching an outstanding Lock

private:
    void *lockedPart1_ = nullptr, *lockedPart2_ = nullptr;
    DWORD lockedLength1_ = 0, lockedLength2_ = 0;
};

class FakeDirectSoundCapture final : public IDirectSoundCapture {
public:
    // Nothing asks the capture object for an interface.
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(CreateCaptureBuffer)
    (LPCDSCBUFFERDESC desc, LPDIRECTSOUNDCAPTUREBUFFER* buffer, LPUNKNOWN outer) override;
    STDMETHOD(GetCaps)(LPDSCCAPS) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(LPCGUID) override { return E_NOTIMPL; }

    // The buffer most recently created; null before the first.
    FakeCaptureBuffer* LastBuffer() const
    {
        return buffers.empty() ? nullptr : buffers.back().get();
    }

    LONG refs = 1;
    // Runs on each new buffer before it is handed out (to set its failures).
    std::function<void(FakeCaptureBuffer&)> onCreate;
    int createCalls = 0;
    std::vector<std::unique_ptr<FakeCaptureBuffer>> buffers;
};
