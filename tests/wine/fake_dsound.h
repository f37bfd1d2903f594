// DirectSound capture in memory: the test writes the captured bytes, moves
// the read position and makes single calls fail. Installed by assigning it
// to g_pDirectSoundCapture; Release only counts down.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <memory>
#include <vector>

// A capture buffer and its notify interface in one object, sharing one count.
class FakeCaptureBuffer final : public IDirectSoundCaptureBuffer, public IDirectSoundNotify {
public:
    explicit FakeCaptureBuffer(const DSCBUFFERDESC& d)
        : desc(d), format(*d.lpwfxFormat), bytes(d.dwBufferBytes)
    {
    }
    STDMETHOD(QueryInterface)(REFIID riid, void** object) override
    {
        *object = IsEqualIID(riid, IID_IDirectSoundNotify) ? static_cast<IDirectSoundNotify*>(this)
                                                           : nullptr;
        return *object ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(GetCaps)(LPDSCBCAPS) override { return E_NOTIMPL; }
    STDMETHOD(GetCurrentPosition)(LPDWORD capture, LPDWORD read) override
    {
        *capture = *read = readPosition;
        return positionResult;
    }
    STDMETHOD(GetFormat)(LPWAVEFORMATEX out, DWORD, LPDWORD written) override
    {
        *out = format, *written = sizeof format;
        return S_OK;
    }
    STDMETHOD(GetStatus)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(LPDIRECTSOUNDCAPTURE, LPCDSCBUFFERDESC) override { return E_NOTIMPL; }
    // As DirectSound: a range outside the buffer, or a second lock, is refused;
    // one running past the end comes in two parts.
    STDMETHOD(Lock)
    (DWORD offset, DWORD length, LPVOID* part1, LPDWORD length1, LPVOID* part2, LPDWORD length2,
     DWORD) override
    {
        ++lockCalls;
        const DWORD size = static_cast<DWORD>(bytes.size());
        if (locked || offset >= size || length > size || length == 0)
            return DSERR_INVALIDPARAM;
        const DWORD first = length < size - offset ? length : size - offset;
        *part1 = bytes.data() + offset, *length1 = first;
        *part2 = first < length ? bytes.data() : nullptr, *length2 = length - first;
        locked = true;
        return S_OK;
    }
    STDMETHOD(Start)(DWORD) override { return (started = SUCCEEDED(startResult)), startResult; }
    STDMETHOD(Stop)() override { return started = false, S_OK; }
    STDMETHOD(Unlock)(LPVOID, DWORD, LPVOID, DWORD) override { return locked = false, S_OK; }
    STDMETHOD(SetNotificationPositions)(DWORD count, LPCDSBPOSITIONNOTIFY given) override
    {
        positions.assign(given, given + count);
        return S_OK;
    }
    // Writes frames (left, right) into the ring from a byte offset on, wrapping.
    void WriteFrames(DWORD byteOffset, const short* frames, size_t frameCount)
    {
        const unsigned char* from = reinterpret_cast<const unsigned char*>(frames);
        for (size_t i = 0; i < frameCount * 4; ++i)
            bytes[(byteOffset + i) % bytes.size()] = from[i];
    }

    LONG refs = 1;
    DSCBUFFERDESC desc;
    WAVEFORMATEX format;
    std::vector<unsigned char> bytes;
    std::vector<DSBPOSITIONNOTIFY> positions;
    DWORD readPosition = 0;
    HRESULT positionResult = S_OK, startResult = S_OK;
    bool started = false, locked = false;
    int lockCalls = 0;
};

class FakeDirectSoundCapture final : public IDirectSoundCapture {
public:
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(CreateCaptureBuffer)
    (LPCDSCBUFFERDESC desc, LPDIRECTSOUNDCAPTUREBUFFER* buffer, LPUNKNOWN outer) override
    {
        // What real DirectSound refuses.
        if (outer || desc->dwSize != sizeof(DSCBUFFERDESC) || desc->dwBufferBytes == 0)
            return DSERR_INVALIDPARAM;
        buffers.push_back(std::make_unique<FakeCaptureBuffer>(*desc));
        buffers.back()->desc.lpwfxFormat = &buffers.back()->format;
        buffers.back()->startResult = startResult;
        *buffer = buffers.back().get();
        return S_OK;
    }
    STDMETHOD(GetCaps)(LPDSCCAPS) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(LPCGUID) override { return E_NOTIMPL; }
    // The buffer most recently created; null before the first.
    FakeCaptureBuffer* LastBuffer() const
    {
        return buffers.empty() ? nullptr : buffers.back().get();
    }

    LONG refs = 1;
    HRESULT startResult = S_OK;  // what the buffers made from now on answer to Start
    std::vector<std::unique_ptr<FakeCaptureBuffer>> buffers;
};
