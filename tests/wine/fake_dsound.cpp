#include "fake_dsound.h"

// Only the notify interface is asked for.
HRESULT FakeCaptureBuffer::QueryInterface(REFIID riid, void** object)
{
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IDirectSoundNotify))
        return E_NOINTERFACE;
    if (FAILED(queryNotifyResult))
        return queryNotifyResult;
    *object = static_cast<IDirectSoundNotify*>(this);
    AddRef();
    return S_OK;
}

// As DirectSound: a range starting outside the buffer or longer than it is
// refused; one running past the end comes in two parts.
HRESULT FakeCaptureBuffer::Lock(DWORD offset, DWORD length, LPVOID* part1, LPDWORD length1,
                                LPVOID* part2, LPDWORD length2, DWORD)
{
    ++lockCalls;
    const DWORD size = static_cast<DWORD>(bytes.size());
    if (FAILED(lockResult) || locked || offset >= size || length > size || length == 0)
        return FAILED(lockResult) ? lockResult : DSERR_INVALIDPARAM;
    const DWORD first = length < size - offset ? length : size - offset;
    *part1 = lockedPart1_ = bytes.data() + offset;
    *length1 = lockedLength1_ = first + lockOverstate;
    *part2 = lockedPart2_ = first < length ? bytes.data() : nullptr;
    *length2 = lockedLength2_ = length - first;
    locked = true;
    return S_OK;
}

HRESULT FakeCaptureBuffer::Unlock(LPVOID part1, DWORD length1, LPVOID part2, DWORD length2)
{
    if (!locked || part1 != lockedPart1_ || length1 != lockedLength1_ || part2 != lockedPart2_ ||
        length2 != lockedLength2_)
        ++badUnlocks;
    locked = false;
    return S_OK;
}

void FakeCaptureBuffer::WriteFrames(DWORD byteOffset, const short* frames, size_t frameCount)
{
    const unsigned char* from = reinterpret_cast<const unsigned char*>(frames);
    for (size_t i = 0; i < frameCount * 4; ++i)
        bytes[(byteOffset + i) % bytes.size()] = from[i];
}

HRESULT FakeDirectSoundCapture::CreateCaptureBuffer(LPCDSCBUFFERDESC desc,
                                                    LPDIRECTSOUNDCAPTUREBUFFER* buffer,
                                                    LPUNKNOWN outer)
{
    ++createCalls;
    *buffer = nullptr;
    // What real DirectSound refuses.
    if (outer || !desc || desc->dwSize != sizeof(DSCBUFFERDESC) || !desc->lpwfxFormat ||
        desc->dwBufferBytes == 0)
        return DSERR_INVALIDPARAM;
    buffers.push_back(std::make_unique<FakeCaptureBuffer>(*desc));
    if (onCreate)
        onCreate(*buffers.back());
    *buffer = buffers.back().get();
    return S_OK;
}
