// The component runtime: per-thread initialization, in-process object creation
// (built-in class table first, then registered modules), task memory.
#pragma once

#include <cstddef>

#include "platform/com/Unknown.h"

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
inline constexpr DWORD CLSCTX_ALL = 0x17;

// S_OK on the first call on a thread, S_FALSE on each further one (counted).
HRESULT CoInitialize(void* reserved);
HRESULT CoInitializeEx(void* reserved, DWORD flags);
// Undoes one CoInitialize of this thread; the last one forgets the thread's state.
void CoUninitialize();

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID riid, void** ppv);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv);
// Unloads every loaded module whose DllCanUnloadNow answers S_OK.
void CoFreeUnusedLibraries();

void* CoTaskMemAlloc(std::size_t size);
void* CoTaskMemRealloc(void* p, std::size_t size);
void CoTaskMemFree(void* p);

// Built-in classes of the platform (graph manager, enumerators, framework filters).
// Creates an object of the class for `outer` and hands out `riid`.
using BuiltinCreateFn = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);
void RegisterBuiltinClass(REFCLSID clsid, const char* name, BuiltinCreateFn create);

// Registers a built-in class at load time of the platform library:
//   static BuiltinClassRegistrar reg(CLSID_FilterGraph, "Filter Graph", &CreateFilterGraph);
struct BuiltinClassRegistrar {
    BuiltinClassRegistrar(REFCLSID clsid, const char* name, BuiltinCreateFn create)
    {
        RegisterBuiltinClass(clsid, name, create);
    }
};
