// A test double of DirectSound capture: a capture object, its capture buffers
// and their notify interfaces, in memory. The test moves the read position,
// writes the captured bytes, and makes single calls fail. Tests install it by
// assigning the capture object to g_pDirectSoundCapture.
//
// The objects live as long as the FakeDirectSoundCapture that made them;
// Release only counts down, so a test can still look at a released buffer.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <functional>
#include <memory>
#include <vector>

class FakeCaptureBuffer;

class FakeCaptureNotify final : public IDirectSoundNotify {
public:
    explicit FakeCaptureNotify(FakeCaptureBuffer* owner) : owner_(owner) {}

    STDMETHOD(QueryInterface)(REFIID riid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(SetNotificationPositions)(DWORD count, LPCDSBPOSITIONNOTIFY positions) override;

    LONG refs = 0;
    HRESULT setPositionsResult = S_OK;
    std::vector<DSBPOSITIONNOTIFY> positions;

private:
    FakeCaptureBuffer* owner_;
};

class FakeCaptureBuffer final : public IDirectSoundCaptureBuffer {
public:
    FakeCaptureBuffer(const DSCBUFFERDESC& desc);

    STDMETHOD(QueryInterface)(REFIID riid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(GetCaps)(LPDSCBCAPS) override { return E_NOTIMPL; }
    STDMETHOD(GetCurrentPosition)(LPDWORD capturePosition, LPDWORD readPosition) override;
    STDMETHOD(GetFormat)(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override;
    STDMETHOD(GetStatus)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(LPDIRECTSOUNDCAPTURE, LPCDSCBUFFERDESC) override { return E_NOTIMPL; }
    STDMETHOD(Lock)(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD length1, LPVOID* part2,
                    LPDWORD length2, DWORD flags) override;
    STDMETHOD(Start)(DWORD flags) override;
    STDMETHOD(Stop)() override;
    STDMETHOD(Unlock)(LPVOID part1, DWORD length1, LPVOID part2, DWORD length2) override;

    // Writes consecutive frames (left, right) into the ring from a byte
    // offset on, wrapping at its end.
    void WriteFrames(DWORD byteOffset, const short* frames, size_t frameCount);

    LONG refs = 1;
    DSCBUFFERDESC desc;          // as given to CreateCaptureBuffer
    WAVEFORMATEX format;         // the format it was created with
    std::vector<unsigned char> bytes;
    FakeCaptureNotify notify;

    DWORD readPosition = 0;      // set by the test
    DWORD capturePosition = 0;

    HRESULT positionResult = S_OK;
    HRESULT lockResult = S_OK;
    HRESULT getFormatResult = S_OK;
    HRESULT startResult = S_OK;
    HRESULT stopResult = S_OK;
    HRESULT queryNotifyResult = S_OK;
    // When non-zero, Lock hands out these lengths instead of the true ones
    // (a misbehaving driver, for the bound guard).
    DWORD forcedLength1 = 0;
    DWORD forcedLength2 = 0;

    bool started = false;
    DWORD startFlags = 0;
    int startCalls = 0;
    int stopCalls = 0;
    int positionCalls = 0;
    int lockCalls = 0;
    int unlockCalls = 0;
    bool locked = false;
    DWORD lastLockOffset = 0;
    DWORD lastLockBytes = 0;
    // What the last Unlock was given matches what Lock handed out.
    bool unlockMatchedLock = false;

private:
    void* lockedPart1_ = nullptr;
    void* lockedPart2_ = nullptr;
    DWORD lockedLength1_ = 0;
    DWORD lockedLength2_ = 0;
};

class FakeDirectSoundCapture final : public IDirectSoundCapture {
public:
    STDMETHOD(QueryInterface)(REFIID riid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(CreateCaptureBuffer)(LPCDSCBUFFERDESC desc, LPDIRECTSOUNDCAPTUREBUFFER* buffer,
                                   LPUNKNOWN outer) override;
    STDMETHOD(GetCaps)(LPDSCCAPS) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(LPCGUID) override { return E_NOTIMPL; }

    // The buffer most recently created; null before the first.
    FakeCaptureBuffer* LastBuffer() const { return buffers.empty() ? nullptr : buffers.back().get(); }

    LONG refs = 1;
    HRESULT createResult = S_OK;
    // Runs on each new buffer before it is handed out: a test sets the
    // failures of a buffer that a start is about to create.
    std::function<void(FakeCaptureBuffer&)> onCreate;
    int createCalls = 0;
    std::vector<std::unique_ptr<FakeCaptureBuffer>> buffers;
};
