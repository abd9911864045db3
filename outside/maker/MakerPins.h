// What the maker's output pins share: their buffer request and the byte-stream
// type of the reader and the muxer.
#pragma once

#include <algorithm>

#include "platform/graph/Guids.h"
#include "platform/graph/base/MediaType.h"
#include "platform/graph/base/MemAllocator.h"

namespace quvo::maker {

// At least `count` buffers of `bytes`, or what downstream asks for if that is more.
inline HRESULT RequestBuffers(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES* wanted, LONG count, LONG bytes)
{
    ALLOCATOR_PROPERTIES request = *wanted;
    request.cBuffers = std::max(request.cBuffers, count);
    request.cbBuffer = std::max(request.cbBuffer, bytes);
    if (request.cbAlign <= 0) request.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(&request, &actual);
}

// MEDIATYPE_Stream of `subtype`, without a format, samples of any size.
inline void SetStreamType(CMediaType* mt, const GUID& subtype)
{
    mt->InitMediaType();
    mt->SetType(&MEDIATYPE_Stream);
    mt->SetSubtype(&subtype);
    mt->SetFormatType(&FORMAT_None);
    mt->SetVariableSize();
}

}  // namespace quvo::maker
