#include "platform/filters/tests/GraphHelpers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"

namespace quvo::filters::test {

const CLSID kAudioDecoderClsid = {0x2BE4D130, 0x6F2E, 0x4B3A, {0xB0, 0xBD, 0xE8, 0x80, 0x91, 0x72, 0x38, 0xDC}};
const CLSID kVideoDecoderClsid = {0x2BE4D140, 0x6F2E, 0x4B3A, {0xB0, 0xBD, 0xE8, 0x80, 0x91, 0x72, 0x38, 0xDC}};

std::string RunCommand(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

bool RegisterModule(const std::string& fileName)
{
    const char* dir = std::getenv("QUVO_MODULE_DIR");
    if (!dir) return false;
    const std::string out = RunCommand(std::string("'") + QUVO_REGSVR_PATH + "' -s '" + dir + "/" + fileName
                                       + "' 2>&1; echo status=$?");
    return out.find("status=0") != std::string::npos;
}

bool RegisterMpegModule() { return RegisterModule("MpegDecoders.so"); }

CMediaType VideoOutType(int width, int height, DWORD bitRate, REFERENCE_TIME frameDuration)
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Video);
    mt.SetSubtype(&MEDIASUBTYPE_MPEG2_VIDEO);
    mt.SetFormatType(&FORMAT_MPEG2Video);
    mt.bFixedSizeSamples = TRUE;
    mt.bTemporalCompression = FALSE;
    mt.lSampleSize = 1;
    BYTE* block = mt.AllocFormatBuffer(288);
    MPEG2VIDEOINFO info{};
    info.hdr.rcSource = {0, 0, width, height};
    info.hdr.dwBitRate = bitRate;
    info.hdr.AvgTimePerFrame = frameDuration;
    info.hdr.dwPictAspectRatioX = 4;
    info.hdr.dwPictAspectRatioY = 3;
    info.hdr.bmiHeader.biWidth = width;
    info.hdr.bmiHeader.biHeight = height;
    info.dwProfile = 2;
    info.dwLevel = 2;
    info.cbSequenceHeader = 12;
    std::memcpy(block, &info, offsetof(MPEG2VIDEOINFO, dwSequenceHeader));
    const unsigned rateCode = frameDuration == 400000 ? 3 : 4;
    const unsigned bitRateValue = bitRate / 400;
    const BYTE seq[12] = {0x00, 0x00, 0x01, 0xB3,
                          static_cast<BYTE>(width >> 4),
                          static_cast<BYTE>(((width & 0xF) << 4) | (height >> 8)),
                          static_cast<BYTE>(height),
                          static_cast<BYTE>((2 << 4) | rateCode),
                          static_cast<BYTE>(bitRateValue >> 10),
                          static_cast<BYTE>(bitRateValue >> 2),
                          static_cast<BYTE>(((bitRateValue & 3) << 6) | 0x20 | (112 >> 5)),
                          static_cast<BYTE>((112 & 0x1F) << 3)};
    std::memcpy(block + offsetof(MPEG2VIDEOINFO, dwSequenceHeader), seq, sizeof seq);
    return mt;
}

namespace {
CMediaType AudioType(const GUID& subtype, WORD tag, int rate)
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Audio);
    mt.SetSubtype(&subtype);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    mt.bFixedSizeSamples = TRUE;
    mt.lSampleSize = 2;
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = tag;
    wfx.nChannels = 2;
    wfx.nSamplesPerSec = static_cast<DWORD>(rate);
    wfx.nAvgBytesPerSec = static_cast<DWORD>(rate) * 4;
    wfx.nBlockAlign = 4;
    wfx.wBitsPerSample = 16;
    mt.SetFormat(reinterpret_cast<const BYTE*>(&wfx), sizeof wfx);
    return mt;
}
}  // namespace

CMediaType LpcmAudioType(int rate) { return AudioType(MEDIASUBTYPE_DVD_LPCM_AUDIO, 0, rate); }
CMediaType Ac3AudioType(int rate) { return AudioType(MEDIASUBTYPE_DOLBY_AC3, 0x2000, rate); }

HRESULT ConnectFilters(IGraphBuilder* graph, IBaseFilter* up, IBaseFilter* down)
{
    ComPtr<IEnumPins> outs;
    HRESULT hr = up->EnumPins(&outs);
    if (FAILED(hr)) return hr;
    ComPtr<IPin> out;
    while (outs->Next(1, &out, nullptr) == S_OK) {
        PIN_DIRECTION dir;
        ComPtr<IPin> peer;
        out->QueryDirection(&dir);
        if (dir != PINDIR_OUTPUT || out->ConnectedTo(&peer) == S_OK) continue;
        ComPtr<IEnumPins> ins;
        if (FAILED(down->EnumPins(&ins))) continue;
        ComPtr<IPin> in;
        while (ins->Next(1, &in, nullptr) == S_OK) {
            ComPtr<IPin> inPeer;
            in->QueryDirection(&dir);
            if (dir != PINDIR_INPUT || in->ConnectedTo(&inPeer) == S_OK) continue;
            if (SUCCEEDED(graph->ConnectDirect(out.Get(), in.Get(), nullptr))) return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT CreateMappedPin(IMpeg2Demultiplexer* demux, const CMediaType& type, const char16_t* name, ULONG streamId,
                        ULONG substream, int offset)
{
    ComPtr<IPin> pin;
    CMediaType copy(type);
    std::u16string pinName(name);
    HRESULT hr = demux->CreateOutputPin(&copy, pinName.data(), &pin);
    if (FAILED(hr)) return hr;
    ComPtr<IMPEG2StreamIdMap> map;
    hr = pin->QueryInterface(IID_IMPEG2StreamIdMap, map.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    return map->MapStreamId(streamId, MPEG2_PROGRAM_ELEMENTARY_STREAM, substream, offset);
}

ComPtr<IBaseFilter> CreateFilter(REFCLSID clsid)
{
    ComPtr<IBaseFilter> filter;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.ReleaseAndGetVoidAddressOf());
    return filter;
}

}  // namespace quvo::filters::test
