#include "tests/wine/support/fake_dsound.h"

#include <cstring>

HRESULT FakeCaptureNotify::QueryInterface(REFIID riid, void** object)
{
    return owner_->QueryInterface(riid, object);
}

HRESULT FakeCaptureNotify::SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY given)
{
    if (FAILED(setPositionsResult))
        return setPositionsResult;
    positions.assign(given, given + count);
    return S_OK;
}

FakeCaptureBuffer::FakeCaptureBuffer(const DSCBUFFERDESC& d) : desc(d), notify(this)
{
    std::memset(&format, 0, sizeof(format));
    if (d.lpwfxFormat)
        format = *d.lpwfxFormat;
    desc.lpwfxFormat = &format;
    bytes.assign(d.dwBufferBytes, 0);
}

HRESULT FakeCaptureBuffer::QueryInterface(REFIID riid, void** object)
{
    *object = nullptr;
    if (IsEqualIID(riid, IID_IDirectSoundNotify)) {
        if (FAILED(queryNotifyResult))
            return queryNotifyResult;
        notify.AddRef();
        *object = static_cast<IDirectSoundNotify*>(&notify);
        return S_OK;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDirectSoundCaptureBuffer)) {
        AddRef();
        *object = static_cast<IDirectSoundCaptureBuffer*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT FakeCaptureBuffer::GetCurrentPosition(LPDWORD capture, LPDWORD read)
{
    ++positionCalls;
    if (FAILED(positionResult))
        return positionResult;
    if (capture)
        *capture = capturePosition;
    if (read)
        *read = readPosition;
    return S_OK;
}

HRESULT FakeCaptureBuffer::GetFormat(LPWAVEFORMATEX out, DWORD sizeAllocated, LPDWORD sizeWritten)
{
    if (FAILED(getFormatResult))
        return getFormatResult;
    DWORD size = sizeAllocated < sizeof(format) ? sizeAllocated : sizeof(format);
    std::memcpy(out, &format, size);
    if (sizeWritten)
        *sizeWritten = size;
    return S_OK;
}

// As DirectSound: a range that starts outside the buffer or is longer than it
// is refused; one that runs past the end comes in two parts.
HRESULT FakeCaptureBuffer::Lock(DWORD offset, DWORD length, LPVOID* part1, LPDWORD length1,
                                LPVOID* part2, LPDWORD length2, DWORD)
{
    ++lockCalls;
    lastLockOffset = offset;
    lastLockBytes = length;
    if (FAILED(lockResult))
        return lockResult;
    const DWORD size = static_cast<DWORD>(bytes.size());
    if (locked || offset >= size || length > size || length == 0)
        return DSERR_INVALIDPARAM;
    const DWORD first = length < size - offset ? length : size - offset;
    *part1 = bytes.data() + offset;
    *length1 = first;
    if (first < length) {
        *part2 = bytes.data();
        *length2 = length - first;
    } else {
        *part2 = nullptr;
        *length2 = 0;
    }
    if (forcedLength1 != 0 || forcedLength2 != 0) {
        *length1 = forcedLength1;
        *length2 = forcedLength2;
        *part2 = forcedLength2 != 0 ? bytes.data() : nullptr;
    }
    locked = true;
    lockedPart1_ = *part1;
    lockedPart2_ = *part2;
    lockedLength1_ = *length1;
    lockedLength2_ = *length2;
    return S_OK;
}

HRESULT FakeCaptureBuffer::Start(DWORD flags)
{
    ++startCalls;
    if (FAILED(startResult))
        return startResult;
    started = true;
    startFlags = flags;
    return S_OK;
}

HRESULT FakeCaptureBuffer::Stop()
{
    ++stopCalls;
    if (FAILED(stopResult))
        return stopResult;
    started = false;
    return S_OK;
}

HRESULT FakeCaptureBuffer::Unlock(LPVOID part1, DWORD length1, LPVOID part2, DWORD length2)
{
    ++unlockCalls;
    unlockMatchedLock = locked && part1 == lockedPart1_ && length1 == lockedLength1_ &&
                        part2 == lockedPart2_ && length2 == lockedLength2_;
    locked = false;
    return S_OK;
}

void FakeCaptureBuffer::WriteFrames(DWORD byteOffset, const short* frames, size_t frameCount)
{
    const size_t size = bytes.size();
    const unsigned char* from = reinterpret_cast<const unsigned char*>(frames);
    for (size_t i = 0; i < frameCount * 4; ++i)
        bytes[(byteOffset + i) % size] = from[i];
}

HRESULT FakeDirectSoundCapture::QueryInterface(REFIID riid, void** object)
{
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDirectSoundCapture)) {
        AddRef();
        *object = static_cast<IDirectSoundCapture*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT FakeDirectSoundCapture::CreateCaptureBuffer(LPCDSCBUFFERDESC desc,
                                                    LPDIRECTSOUNDCAPTUREBUFFER* buffer, LPUNKNOWN outer)
{
    ++createCalls;
    *buffer = nullptr;
    if (FAILED(createResult))
        return createResult;
    // What real DirectSound refuses.
    if (outer || !desc || desc->dwSize != sizeof(DSCBUFFERDESC) || !desc->lpwfxFormat ||
        desc->dwBufferBytes == 0)
        return DSERR_INVALIDPARAM;
    buffers.push_back(std::make_unique<FakeCaptureBuffer>(*desc));
    FakeCaptureBuffer* made = buffers.back().get();
    if (onCreate)
        onCreate(*made);
    *buffer = made;
    return S_OK;
}
