/* The C interface as a C program sees it: the library is loaded by name at run
 * time, every call goes through the header's declarations, and nothing has been
 * initialized yet, so no board is known. */
#include <dlfcn.h>
#include <glob.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <quvo/QuvoSDK.h>

static int failures = 0;

#define CHECK(cond)                                                              \
    do {                                                                         \
        if (!(cond)) {                                                           \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            ++failures;                                                          \
        }                                                                        \
    } while (0)

/* Looks a function up with the type its declaration gives it. */
#define LOOKUP(lib, name) ((__typeof__(&name))lookup(lib, #name))

static void* lookup(void* lib, const char* name)
{
    void* p = dlsym(lib, name);
    if (!p) {
        fprintf(stderr, "missing export %s\n", name);
        exit(1);
    }
    return p;
}

static void check_fresh_library(void* lib)
{
    SdkVersion version = {9, 9, 9};
    CHECK(LOOKUP(lib, QuvoGetSDKVersion)(&version) == QUVO_SUCCESS);
    CHECK(version.major == 1 && version.minor == 0 && version.build == 1);

    /* Device operations before QuvoInitialize. */
    uint32_t mask = 0xFFFF, alias = 0xFFFF;
    CHECK(LOOKUP(lib, QuvoGetDeviceCapabilities)(&mask) == QUVO_ERR_DEVICE_NOT_FOUND);
    CHECK(LOOKUP(lib, QuvoGetPlaybackCapabilities)(&alias) == QUVO_ERR_DEVICE_NOT_FOUND);
    CHECK(mask == 0 && alias == 0);

    mask = 0xFFFF;
    CHECK(LOOKUP(lib, QuvoGetSupportedInputChannels)(&mask) == QUVO_SUCCESS);
    CHECK(mask == 0);

    uint32_t length = 77;
    QUVO_WCHAR name[64];
    CHECK(LOOKUP(lib, QuvoGetDeviceName)(name, 64, &length) == QUVO_ERR_DEVICE_NOT_FOUND);
    CHECK(length == 0);

    uint32_t state = 3;
    CHECK(LOOKUP(lib, QuvoGetCurrentGraphStatus)(&state, 100) == QUVO_ERR_DEVICE_NOT_FOUND);
    CHECK(state == 0);
    CHECK(LOOKUP(lib, QuvoStartCapture)() == QUVO_ERR_DEVICE_NOT_FOUND);
    CHECK(LOOKUP(lib, QuvoSetVideoBitrate)(0, 4200000, 4200000) == QUVO_ERR_DEVICE_NOT_FOUND);
    double fps = 1.0;
    CHECK(LOOKUP(lib, QuvoGetCurrentFrameRate)(&fps) == QUVO_ERR_DEVICE_NOT_FOUND);
    CHECK(fps == 0.0);
    uint64_t bytes = 5;
    CHECK(LOOKUP(lib, QuvoGetBytesStreamed)(&bytes) == QUVO_ERR_DEVICE_NOT_FOUND);

    /* Alias pairs answer alike, arguments included. */
    uint32_t a = 41, b = 41;
    CHECK(LOOKUP(lib, QuvoGetCurrentAudioBitrate)(&a) == LOOKUP(lib, QuvoGetSupportedAudioBitrates)(&b));
    CHECK(a == 41 && b == 41);
    CHECK(LOOKUP(lib, QuvoEnableVCRSource)() == QUVO_ERR_NOT_SUPPORTED);
    CHECK(LOOKUP(lib, QuvoDisableVCRSource)() == QUVO_ERR_NOT_SUPPORTED);
    CHECK(LOOKUP(lib, QuvoEnableAnalogVideoDecoder)() == QUVO_ERR_NOT_SUPPORTED);
    CHECK(LOOKUP(lib, QuvoDisableAnalogVideoDecoder)() == QUVO_ERR_NOT_SUPPORTED);
    CHECK(LOOKUP(lib, QuvoSetOutputChannel)(1) == QUVO_ERR_NOT_SUPPORTED);
    CHECK(LOOKUP(lib, QuvoGetCurrentOutputChannel)(1) == QUVO_ERR_NOT_SUPPORTED);
    CHECK(LOOKUP(lib, QuvoGetPlaybackCurrentPos)(0) == QUVO_ERR_NOT_IMPLEMENTED);
    CHECK(LOOKUP(lib, QuvoGetPlaybackFileDuration)(0) == QUVO_ERR_NOT_IMPLEMENTED);
    CHECK(LOOKUP(lib, QuvoSetPlaybackCurrentPos)(0) == QUVO_ERR_NOT_IMPLEMENTED);

    CHECK(LOOKUP(lib, QuvoSetDebugLevel)(5) == QUVO_SUCCESS);
    QUVO_GUID g = {0x2BE4D120, 0x6F2E, 0x4B3A, {0xB0, 0xBD, 0xE8, 0x80, 0x91, 0x72, 0x38, 0xDC}};
    CHECK(LOOKUP(lib, QuvoSetFilters)(&g, &g, &g) == QUVO_SUCCESS);
    CHECK(LOOKUP(lib, QuvoUninitialize)() == QUVO_SUCCESS);
    /* Still no device after QuvoUninitialize. */
    mask = 0xFFFF;
    CHECK(LOOKUP(lib, QuvoGetDeviceCapabilities)(&mask) == QUVO_ERR_DEVICE_NOT_FOUND);
}

/* Unloading without QuvoUninitialize: the detach line, then the device released as
 * QuvoUninitialize would release it. The log is the only file in the work directory. */
static void check_unload_releases_the_device(void)
{
    void* lib = dlopen(QUVO_SDK_PATH, RTLD_NOW | RTLD_LOCAL);
    CHECK(lib != NULL);
    if (!lib) return;
    CHECK(LOOKUP(lib, QuvoSetDebugLevel)(6) == QUVO_SUCCESS);
    CHECK(LOOKUP(lib, QuvoSetDebugTarget)(1) == QUVO_SUCCESS);
    CHECK(dlclose(lib) == 0);

    glob_t found;
    CHECK(glob("TvrSDK_*.log", 0, NULL, &found) == 0);
    if (found.gl_pathc != 1) {
        CHECK(found.gl_pathc == 1);
        return;
    }
    char text[256] = {0};
    FILE* f = fopen(found.gl_pathv[0], "rb");
    CHECK(f != NULL);
    if (f) {
        size_t n = fread(text, 1, sizeof text - 1, f);
        text[n] = 0;
        fclose(f);
    }
    globfree(&found);
    CHECK(strcmp(text, "---Dll Detached from Process---\r\n...Device Uninitialized...\r\n") == 0);
}

int main(void)
{
    /* Twice: unloading and loading again starts from the construction values. */
    for (int round = 0; round < 2; ++round) {
        void* lib = dlopen(QUVO_SDK_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!lib) {
            fprintf(stderr, "cannot load %s: %s\n", QUVO_SDK_PATH, dlerror());
            return 1;
        }
        check_fresh_library(lib);
        CHECK(dlclose(lib) == 0);
    }
    check_unload_releases_the_device();
    if (failures) fprintf(stderr, "%d check(s) failed\n", failures);
    return failures ? 1 : 0;
}
