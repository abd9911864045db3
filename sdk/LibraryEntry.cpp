// Library load and unload, standing in for the process attach and detach of the
// entry point: the log and the device are made before anything else in the library
// runs and go after everything else, and each notification writes its line.
#include <new>

#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"

namespace quvo::sdk {
namespace {

// Raw storage, so that no ordinary static destructor can run before or after ours.
alignas(DebugLog) unsigned char logStorage[sizeof(DebugLog)];
alignas(EncoderDevice) unsigned char deviceStorage[sizeof(EncoderDevice)];
DebugLog* theLog = nullptr;
EncoderDevice* theDevice = nullptr;

// Priority 101 runs before the library's ordinary static constructors.
__attribute__((constructor(101))) void AttachToProcess()
{
    theLog = new (logStorage) DebugLog();
    theDevice = new (deviceStorage) EncoderDevice();
    theLog->Log(kLogPlain, 6, "---Dll Attached to Process---");
}

__attribute__((destructor(101))) void DetachFromProcess()
{
    theLog->Log(kLogPlain, 6, "---Dll Detached from Process---");
    // The device's destructor releases it as QuvoUninitialize would, logging as it goes.
    theDevice->~EncoderDevice();
    theDevice = nullptr;
    theLog->~DebugLog();  // closes the file
    theLog = nullptr;
}

}  // namespace

DebugLog& TheLog() { return *theLog; }
EncoderDevice& TheDevice() { return *theDevice; }

}  // namespace quvo::sdk
