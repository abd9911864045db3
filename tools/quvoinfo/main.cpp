// quvoinfo: loads QuvoSDK as a program does (linked by import) and prints what the
// library answers before any board is initialized.
#include <cinttypes>
#include <cstdio>

#include <quvo/QuvoSDK.h>

namespace {

const char* ResultName(QUVO_RESULT r)
{
    switch (r) {
    case QUVO_SUCCESS: return "QUVO_SUCCESS";
    case QUVO_INFO_NO_SIGNAL: return "QUVO_INFO_NO_SIGNAL";
    case QUVO_WARN_TV_STANDARD_MISMATCH: return "QUVO_WARN_TV_STANDARD_MISMATCH";
    case QUVO_WARN_INVALID_SERIAL_LENGTH: return "QUVO_WARN_INVALID_SERIAL_LENGTH";
    case QUVO_ERR_FAILED: return "QUVO_ERR_FAILED";
    case QUVO_ERR_INVALID_PARAMETER: return "QUVO_ERR_INVALID_PARAMETER";
    case QUVO_ERR_INVALID_POINTER: return "QUVO_ERR_INVALID_POINTER";
    case QUVO_ERR_BUFFER_TOO_SMALL: return "QUVO_ERR_BUFFER_TOO_SMALL";
    case QUVO_ERR_DEVICE_NOT_FOUND: return "QUVO_ERR_DEVICE_NOT_FOUND";
    case QUVO_ERR_NOT_SUPPORTED: return "QUVO_ERR_NOT_SUPPORTED";
    case QUVO_ERR_NOT_IMPLEMENTED: return "QUVO_ERR_NOT_IMPLEMENTED";
    default: return "unknown result";
    }
}

}  // namespace

int main()
{
    SdkVersion version{};
    QUVO_RESULT r = QuvoGetSDKVersion(&version);
    std::printf("QuvoSDK version %" PRIu32 ".%" PRIu32 ".%" PRIu32 " (%s)\n", version.major, version.minor,
                version.build, ResultName(r));
    uint32_t capabilities = 0;
    r = QuvoGetDeviceCapabilities(&capabilities);
    std::printf("QuvoGetDeviceCapabilities before QuvoInitialize: 0x%08" PRIX32 " %s, mask %" PRIu32 "\n", r,
                ResultName(r), capabilities);
    return r == QUVO_ERR_DEVICE_NOT_FOUND ? 0 : 1;
}
