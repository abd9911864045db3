// The board's serial number, read from the driver at each call (no export).
#include <cstring>
#include <memory>

#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/PropertyLayout.h"

namespace quvo::sdk {

QUVO_RESULT EncoderDevice::GetDeviceSerialNumber(uint8_t* bytes, uint32_t bufferSize, uint32_t* length)
{
    Trace trace("TvrGetDeviceSerialNumber");
    DebugLog& log = TheLog();
    if (!deviceFound) {
        log.Log(kLogError, 2, "Device Not Found");
        return QUVO_ERR_DEVICE_NOT_FOUND;
    }
    if (!captureFilter) {
        log.Log(kLogError, 2, "Failed to get serial number - Capture Filter not Initialized");
        return QUVO_ERR_FAILED;
    }
    // A buffer of its own: the serial number has no copy in the device.
    uint8_t buffer[layout::kSerialLength] = {};
    ComPtr<IKsPropertySet> ks;
    DWORD returned = 0;
    if (FAILED(captureFilter.As(std::addressof(ks))) ||
        FAILED(ks->Get(PROPSETID_EncoderDevice, ENCPROP_SERIAL_NUMBER, buffer, sizeof buffer, buffer, sizeof buffer,
                       &returned)))
        return QUVO_ERR_FAILED;

    const uint32_t n = buffer[layout::kSerialLengthByte];
    *length = n;
    if (n == 0 || n > layout::kMaxSerialLength) {
        log.Log(kLogError, 2, "Invalid Serial Number Length");
        return QUVO_WARN_INVALID_SERIAL_LENGTH;
    }
    if (!bytes) {
        log.Log(kLogError, 2, "Invalid Pointer");
        return QUVO_ERR_INVALID_POINTER;
    }
    if (bufferSize < n) {
        log.Log(kLogPlain, 0, "Insufficient Buffer Size");
        return QUVO_ERR_BUFFER_TOO_SMALL;
    }
    std::memcpy(bytes, buffer + layout::kSerialBytes, n);
    return QUVO_SUCCESS;
}

}  // namespace quvo::sdk
