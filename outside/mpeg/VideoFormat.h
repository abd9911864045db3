// Reading the picture size and frame duration out of the MPEG video media types
// the decoder accepts (MPEG2VIDEOINFO, MPEG-1 VIDEOINFOHEADER forms), and building
// its RGB32 output type.
#pragma once

#include "platform/graph/base/MediaType.h"

namespace quvo::mpegdec {

struct VideoGeometry {
    int width = 0;
    int height = 0;
    REFERENCE_TIME frameDuration = 0;  // 0 when the type does not say
};

// False when `mt` is not an MPEG-1/MPEG-2 video type this decoder takes, or names
// no usable picture size.
bool ReadMpegVideoType(const CMediaType& mt, VideoGeometry* out);

// RGB32 with a VIDEOINFOHEADER; the picture is top-down (negative height), the row
// order the video renderer and the window surfaces use.
HRESULT MakeRgb32Type(const VideoGeometry& g, CMediaType* mt);

// Whether `mt` is RGB32 of exactly this size (top-down or bottom-up); `topDown`
// tells which.
bool IsRgb32Of(const CMediaType& mt, const VideoGeometry& g, bool* topDown);

}  // namespace quvo::mpegdec
