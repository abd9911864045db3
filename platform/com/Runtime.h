// The component runtime: per-thread initialization, in-process object creation
// (built-in class table first, then registered modules), task memory.
//
// As in COM, creating objects needs CoInitialize on the calling thread:
// CoGetClassObject and CoCreateInstance answer CO_E_NOTINITIALIZED otherwise.
// There are no apartments: an object, once created, may be used from any thread
// (streaming threads use objects, they never create them).
//
// A class not in the built-in table is looked up at
// HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32, whose default value names a
// shared object; it is loaded once per path (RTLD_NOW | RTLD_LOCAL) and asked
// through its DllGetClassObject. All functions are thread-safe.
#pragma once

#include <cstddef>
#include <string>

#include "platform/com/Unknown.h"

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
inline constexpr DWORD CLSCTX_ALL = 0x17;

inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
inline constexpr DWORD COINIT_DISABLE_OLE1DDE = 0x4;
inline constexpr DWORD COINIT_SPEED_OVER_MEMORY = 0x8;

// S_OK on the first call on a thread, S_FALSE on each further one (counted).
// Asking for the other threading model than the thread's first call answers
// RPC_E_CHANGED_MODE and is not counted. CoInitialize is the apartment model.
HRESULT CoInitialize(void* reserved);
HRESULT CoInitializeEx(void* reserved, DWORD flags);
// Undoes one CoInitialize of this thread; the last one forgets the thread's state.
void CoUninitialize();

// Failures: CO_E_NOTINITIALIZED (no CoInitialize on this thread), REGDB_E_CLASSNOTREG
// (neither built in nor registered, or `context` excludes in-process servers),
// REGDB_E_READREGDB (the registry cannot be read), CO_E_DLLNOTFOUND (the module does
// not load), CO_E_ERRORINDLL (it has no DllGetClassObject), or the module's own code.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID riid, void** ppv);
// Built-in classes refuse aggregation for any `riid` but IID_IUnknown with
// CLASS_E_NOAGGREGATION; a module's class factory applies its own rule.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv);
// Unloads every loaded module whose DllCanUnloadNow answers S_OK.
void CoFreeUnusedLibraries();

// Why the last module of the calling thread failed to load (dlerror text), or "".
std::string CoLastModuleErrorText();

// malloc-based; CoTaskMemFree(nullptr) does nothing.
void* CoTaskMemAlloc(std::size_t size);
void* CoTaskMemRealloc(void* p, std::size_t size);
void CoTaskMemFree(void* p);

// Built-in classes of the platform (graph manager, enumerators, framework filters):
// a class table as a module has (platform/filters/BuiltinClasses.cpp), served by
// CoCreateInstance and CoGetClassObject without the registry. The table must
// outlive the process's use of the classes (a static table).
struct CFactoryTemplate;
void RegisterBuiltinClasses(const CFactoryTemplate* table, int count);
