#include "ResourceStream.h"

#include <cstring>

namespace Toolkit {

ResourceStream::ResourceStream(const void* data, ULONG size) : bytes(static_cast<const BYTE*>(data)), size(size) {}

HRESULT ResourceStream::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IStream) || IsEqualIID(iid, IID_ISequentialStream)) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ResourceStream::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references)); }

ULONG ResourceStream::Release() {
    const LONG left = InterlockedDecrement(&references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT ResourceStream::Read(void* buffer, ULONG count, ULONG* read) {
    if (read) *read = 0;
    if (static_cast<ULONGLONG>(position) + count > size) return S_FALSE;
    std::memcpy(buffer, bytes + position, count);
    position += count;
    if (read) *read = count;
    return S_OK;
}

HRESULT ResourceStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) {
    LONGLONG target;
    switch (origin) {
        case STREAM_SEEK_SET: target = move.QuadPart; break;
        case STREAM_SEEK_CUR: target = static_cast<LONGLONG>(position) + move.QuadPart; break;
        case STREAM_SEEK_END: return S_FALSE;
        default: return STG_E_INVALIDFUNCTION;
    }
    if (target < 0 || target >= static_cast<LONGLONG>(size)) return S_FALSE;
    position = static_cast<ULONG>(target);
    if (newPosition) newPosition->QuadPart = position;
    return S_OK;
}

HRESULT ResourceStream::Revert() {
    position = 0;
    return S_OK;
}

HRESULT ResourceStream::Stat(STATSTG* stat, DWORD) {
    if (!stat) return E_POINTER;
    std::memset(stat, 0, sizeof *stat);
    stat->cbSize.QuadPart = size;
    return S_OK;
}

HRESULT ResourceStream::Write(const void*, ULONG, ULONG*) { return E_NOTIMPL; }
HRESULT ResourceStream::SetSize(ULARGE_INTEGER) { return E_NOTIMPL; }
HRESULT ResourceStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT ResourceStream::Commit(DWORD) { return E_NOTIMPL; }
HRESULT ResourceStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }
HRESULT ResourceStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }
HRESULT ResourceStream::Clone(IStream**) { return E_NOTIMPL; }

}  // namespace Toolkit
