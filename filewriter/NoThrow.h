// Keeps exceptions from crossing the component interfaces: the writer's entry points
// run their work through NoThrow, which turns a failed allocation into E_OUTOFMEMORY.
#pragma once

#include <new>

#include "platform/com/HResult.h"

namespace quvo::filewriter {

template <class Work>
HRESULT NoThrow(Work&& work) noexcept
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace quvo::filewriter
