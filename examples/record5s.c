/* record5s: records five seconds from the encoder board into an MPEG file.
 * Built against the installed package only (see Makefile):
 *     record5s out.mpg */
#include <quvo/QuvoSDK.h>

#include <stdio.h>
#include <string.h>
#include <time.h>

static int check(const char* what, QUVO_RESULT result)
{
    if (QUVO_FAILED(result)) {
        fprintf(stderr, "record5s: %s failed: 0x%08X\n", what, (unsigned)result);
        return 0;
    }
    return 1;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: record5s FILE\n");
        return 1;
    }
    uint32_t status = 0;
    if (!check("QuvoInitialize", QuvoInitialize(&status))) {
        fprintf(stderr, "record5s: initialization status 0x%03X\n", (unsigned)status);
        return 2;
    }
    int ok = check("QuvoSetPreviewMode", QuvoSetPreviewMode(QUVO_PREVIEW_NONE)) &&
             check("QuvoSetCaptureFileName", QuvoSetCaptureFileName(argv[1], (uint32_t)strlen(argv[1]))) &&
             check("QuvoStartCapture", QuvoStartCapture());
    if (ok) {
        const struct timespec five = {5, 0};
        nanosleep(&five, NULL);
        ok = check("QuvoStopCapture", QuvoStopCapture());
    }
    QuvoUninitialize();
    if (ok) printf("record5s: recorded 5 s to %s\n", argv[1]);
    return ok ? 0 : 3;
}
