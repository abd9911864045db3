/* Calls QuvoSetVideoBitrate the way a C host does: through a plain pointer to a
 * function of three 32-bit arguments, each in a register of its own. */
#include <quvo/QuvoSDK.h>

typedef QUVO_RESULT (*SetVideoBitrateFn)(uint32_t rateMode, uint32_t bitrate, uint32_t peakBitrate);

QUVO_RESULT CallSetVideoBitrateFromC(uint32_t rateMode, uint32_t bitrate, uint32_t peakBitrate)
{
    /* volatile keeps the compiler from turning the call back into a direct one. */
    SetVideoBitrateFn volatile fn = &QuvoSetVideoBitrate;
    return fn(rateMode, bitrate, peakBitrate);
}
