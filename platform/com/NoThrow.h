// The one error rule of components: no exception crosses a component method, a
// class's creation or a streaming hook. Code that may throw (allocation in the
// standard containers) runs through NoThrow at that boundary, which turns a
// failed allocation into E_OUTOFMEMORY and anything else into E_FAIL.
#pragma once

#include <new>

#include "platform/com/HResult.h"

namespace quvo {

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

}  // namespace quvo
