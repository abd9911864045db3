#include "outside/mpeg/VideoFormat.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/graph/Guids.h"
#include "platform/graph/MpegStartCodes.h"

namespace quvo::mpegdec {
namespace {

constexpr int kMaxDimension = 4096;

bool Plausible(int w, int h) { return w > 0 && h > 0 && w <= kMaxDimension && h <= kMaxDimension; }

// Width and height from the 12-bit fields of a sequence header held in the format.
bool FromSequenceHeader(const BYTE* p, std::size_t size, VideoGeometry* g)
{
    if (size < 7 || !mpeg::IsStartCodePrefix(p) || p[3] != mpeg::kSequenceHeaderCode) return false;
    g->width = (p[4] << 4) | (p[5] >> 4);
    g->height = ((p[5] & 0x0F) << 8) | p[6];
    return Plausible(g->width, g->height);
}

bool FromVideoInfo(const BYTE* format, ULONG length, VideoGeometry* g)
{
    if (length < sizeof(VIDEOINFOHEADER)) return false;
    VIDEOINFOHEADER vih;
    std::memcpy(&vih, format, sizeof vih);
    g->frameDuration = vih.AvgTimePerFrame;
    g->width = vih.bmiHeader.biWidth;
    g->height = std::abs(vih.bmiHeader.biHeight);
    if (!Plausible(g->width, g->height)) {
        g->width = vih.rcSource.right - vih.rcSource.left;
        g->height = vih.rcSource.bottom - vih.rcSource.top;
    }
    return Plausible(g->width, g->height);
}

}  // namespace

bool ReadMpegVideoType(const CMediaType& mt, VideoGeometry* out)
{
    if (mt.majortype != MEDIATYPE_Video) return false;
    const bool mpeg2 = mt.subtype == MEDIASUBTYPE_MPEG2_VIDEO;
    const bool mpeg1 = mt.subtype == MEDIASUBTYPE_MPEG1Payload || mt.subtype == MEDIASUBTYPE_MPEG1Packet;
    if (!mpeg1 && !mpeg2) return false;
    VideoGeometry g;
    const BYTE* format = mt.Format();
    const ULONG length = mt.FormatLength();
    if (!format) return false;

    if (mt.formattype == FORMAT_MPEG2Video) {
        constexpr std::size_t kFixed = offsetof(MPEG2VIDEOINFO, dwSequenceHeader);
        if (length < kFixed) return false;
        MPEG2VIDEOINFO info;
        std::memcpy(&info, format, kFixed);
        const VIDEOINFOHEADER2& h = info.hdr;
        g.frameDuration = h.AvgTimePerFrame;
        g.width = h.bmiHeader.biWidth;
        g.height = std::abs(h.bmiHeader.biHeight);
        if (!Plausible(g.width, g.height)) {
            g.width = h.rcSource.right - h.rcSource.left;
            g.height = h.rcSource.bottom - h.rcSource.top;
        }
        if (!Plausible(g.width, g.height)) {
            const std::size_t seqLen = std::min<std::size_t>(info.cbSequenceHeader, length - kFixed);
            if (!FromSequenceHeader(format + kFixed, seqLen, &g)) return false;
        }
    } else if (mt.formattype == FORMAT_MPEGVideo || mt.formattype == FORMAT_VideoInfo) {
        if (!FromVideoInfo(format, length, &g)) return false;
    } else {
        return false;
    }
    if (g.frameDuration < 0) g.frameDuration = 0;
    *out = g;
    return Plausible(g.width, g.height);
}

HRESULT MakeRgb32Type(const VideoGeometry& g, CMediaType* mt)
{
    mt->InitMediaType();
    mt->SetType(&MEDIATYPE_Video);
    mt->SetSubtype(&MEDIASUBTYPE_RGB32);
    mt->SetFormatType(&FORMAT_VideoInfo);
    const ULONG image = static_cast<ULONG>(g.width) * static_cast<ULONG>(g.height) * 4;
    mt->SetSampleSize(image);
    mt->SetTemporalCompression(FALSE);
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt->AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
    if (!vih) return E_OUTOFMEMORY;
    vih->rcSource = {0, 0, g.width, g.height};
    vih->rcTarget = {0, 0, g.width, g.height};
    vih->AvgTimePerFrame = g.frameDuration;
    vih->dwBitRate = static_cast<DWORD>(image * 8 * (g.frameDuration > 0 ? UNITS / g.frameDuration : 25));
    vih->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    vih->bmiHeader.biWidth = g.width;
    vih->bmiHeader.biHeight = -g.height;
    vih->bmiHeader.biPlanes = 1;
    vih->bmiHeader.biBitCount = 32;
    vih->bmiHeader.biCompression = BI_RGB;
    vih->bmiHeader.biSizeImage = image;
    return S_OK;
}

bool IsRgb32Of(const CMediaType& mt, const VideoGeometry& g, bool* topDown)
{
    if (mt.majortype != MEDIATYPE_Video || mt.subtype != MEDIASUBTYPE_RGB32) return false;
    if (mt.formattype != FORMAT_VideoInfo || !mt.Format() || mt.FormatLength() < sizeof(VIDEOINFOHEADER))
        return false;
    VIDEOINFOHEADER vih;
    std::memcpy(&vih, mt.Format(), sizeof vih);
    if (vih.bmiHeader.biBitCount != 32 || vih.bmiHeader.biCompression != BI_RGB) return false;
    if (vih.bmiHeader.biWidth != g.width || std::abs(vih.bmiHeader.biHeight) != g.height) return false;
    *topDown = vih.bmiHeader.biHeight < 0;
    return true;
}

}  // namespace quvo::mpegdec
