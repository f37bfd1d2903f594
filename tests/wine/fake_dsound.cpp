#include "fake_dsound.h"

HRESULT FakeCaptureBuffer::QueryInterface(REFIID riid, void** object)
{
    *object =
        IsEqualIID(riid, IID_IDirectSoundNotify) ? static_cast<IDirectSoundNotify*>(this) : nullptr;
    return *object ? (AddRef(), S_OK) : E_NOINTERFACE;
}

// As DirectSound: a range outside the buffer, or a second lock, is refused;
// one running past the end comes in two parts.
HRESULT FakeCaptureBuffer::Lock(DWORD offset, DWORD length, LPVOID* part1, LPDWORD length1,
                                LPVOID* part2, LPDWORD length2, DWORD)
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
    // What real DirectSound refuses.
    if (outer || desc->dwSize != sizeof(DSCBUFFERDESC) || desc->dwBufferBytes == 0)
        return DSERR_INVALIDPARAM;
    buffers.push_back(std::make_unique<FakeCaptureBuffer>(*desc));
    buffers.back()->desc.lpwfxFormat = &buffers.back()->format;
    if (onCreate)
        onCreate(*buffers.back());
    *buffer = buffers.back().get();
    return S_OK;
}
