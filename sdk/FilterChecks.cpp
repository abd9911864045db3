// Start-up checks that the filters the graphs will need can be created: the
// library's own four, and an MPEG splitter and two decoders, either those the host
// named or the first of the known candidates. Test instances live in the graph
// slots only while the checks run.
#include "platform/com/Runtime.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/FilterClassIds.h"

namespace quvo::sdk {
namespace {

enum class Accept { AnySuccess, PlainSuccess };

// True when an instance was created; it is kept in `slot` until the checks end. The
// candidate search takes only a plain success, the other checks any success.
bool TryCreate(REFCLSID clsid, ComPtr<IBaseFilter>& slot, Accept accept = Accept::AnySuccess)
{
    ComPtr<IBaseFilter> filter;
    const HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.ReleaseAndGetVoidAddressOf());
    const bool created = accept == Accept::PlainSuccess ? hr == S_OK : SUCCEEDED(hr);
    if (!created || !filter) return false;
    slot = std::move(filter);
    return true;
}

}  // namespace

bool EncoderDevice::CheckOwnFilters()
{
    struct OwnFilter {
        const CLSID& clsid;
        ComPtr<IBaseFilter>& slot;
        const char* missing;
    };
    const OwnFilter filters[] = {
        {CLSID_XFormFeedFace, transformTestFilter, "XFormFeedFace Filter not registered"},
        {CLSID_BraidMuxer, muxerFilter, "BraidMuxer Filter not registered"},
        {CLSID_TavrinFileReader, fileReaderFilter, "TavrinFileReader Filter not registered"},
        {CLSID_TavrinFileWriter, fileWriterFilter, "TavrinFileWriter Filter not registered"},
    };
    bool all = true;
    for (const OwnFilter& f : filters) {
        if (TryCreate(f.clsid, f.slot)) continue;
        TheLog().Log(kLogError, 4, "%s", f.missing);
        all = false;
    }
    for (const OwnFilter& f : filters) f.slot.Reset();
    return all;
}

bool EncoderDevice::CheckMpegFilters()
{
    struct Role {
        GUID& clsid;
        ComPtr<IBaseFilter>& slot;
        const char* userMissing;
        bool found;
    };
    Role roles[] = {
        {splitterClsid, splitterFilter, "User Defined Splitter Filter not registered", false},
        {audioDecoderClsid, audioDecoderFilter, "User Defined Audio Decoder Filter not registered", false},
        {videoDecoderClsid, videoDecoderFilter, "User Defined Video Decoder Filter not registered", false},
    };
    auto allFound = [&] { return roles[0].found && roles[1].found && roles[2].found; };

    if (userFiltersSet == 1) {
        for (Role& r : roles) {
            r.found = TryCreate(r.clsid, r.slot);
            if (!r.found) TheLog().Log(kLogError, 4, "%s", r.userMissing);
        }
    } else {
        for (const MpegCandidates& pass : kMpegCandidatePasses) {
            const CLSID* candidates[] = {&pass.splitter, &pass.audioDecoder, &pass.videoDecoder};
            for (std::size_t i = 0; i < std::size(roles); ++i) {
                if (roles[i].found || !TryCreate(*candidates[i], roles[i].slot, Accept::PlainSuccess)) continue;
                roles[i].clsid = *candidates[i];
                roles[i].found = true;
            }
            if (allFound()) {
                TheLog().Log(kLogPlain, 1, "Filters Found");
                break;
            }
        }
    }
    for (Role& r : roles) r.slot.Reset();
    return allFound();
}

}  // namespace quvo::sdk
