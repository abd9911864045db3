// The library's dynamic symbol table, as nm reads it from the built file: exactly the
// 81 Quvo names are defined and exported, nothing else of ours.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

const std::set<std::string> kExports = {
    "QuvoInitialize", "QuvoUninitialize", "QuvoGetSDKVersion", "QuvoGetDeviceName",
    "QuvoGetDeviceCapabilities", "QuvoGetPlaybackCapabilities", "QuvoSetDebugLevel", "QuvoSetDebugTarget",
    "QuvoSetFilters", "QuvoGetSupportedVideoCompressionStandards", "QuvoGetCurrentVideoCompressionStandard",
    "QuvoSetVideoCompressionStandard", "QuvoGetSupportedVideoResolutions", "QuvoGetCurrentVideoResolution",
    "QuvoSetVideoResolution", "QuvoGetSupportedVideoBitrates", "QuvoGetCurrentVideoBitrate",
    "QuvoSetVideoBitrate", "QuvoGetCurrentFrameRate", "QuvoGetSupportedAudioParameters",
    "QuvoGetCurrentAudioFormat", "QuvoSetAudioFormat", "QuvoGetCurrentAudioBitrate",
    "QuvoGetSupportedAudioBitrates", "QuvoSetAudioBitrate", "QuvoGetSupportedAudioSamplingRates",
    "QuvoGetCurrentAudioSamplingRate", "QuvoSetAudioSamplingRate", "QuvoGetSupportedTVStandards",
    "QuvoGetCurrentTVStandard", "QuvoSetTVStandard", "QuvoGetNumberOfLinesDetected", "QuvoIsSignalDetected",
    "QuvoGetProcAmpCapabilities", "QuvoGetProcAmpRange", "QuvoGetCurrentProcAmpValue", "QuvoSetProcAmpValue",
    "QuvoGetSupportedInputChannels", "QuvoSetInputChannel", "QuvoGetCurrentInputChannel",
    "QuvoGetSupportedOutputChannels", "QuvoSetOutputChannel", "QuvoGetCurrentOutputChannel",
    "QuvoGetCurrentOutput", "QuvoSetCurrentOutput", "QuvoEnableVCRSource", "QuvoDisableVCRSource",
    "QuvoEnableAnalogVideoDecoder", "QuvoDisableAnalogVideoDecoder", "QuvoGetAudioCapabilities",
    "QuvoGetSupportedAudioPropertyRange", "QuvoSetAudioPropertyValue", "QuvoGetCurrentAudioPropertyValue",
    "QuvoGetAudioMuteCapabilities", "QuvoSetAudioMute", "QuvoGetAudioMute", "QuvoGetPreviewCapabilities",
    "QuvoSetPreviewMode", "QuvoSetPreviewWindow", "QuvoSetPreviewToFullScreen",
    "QuvoSetEventNotificationWindow", "QuvoStartPreview", "QuvoStopPreview", "QuvoSetFileSizeLimit",
    "QuvoSetCaptureLimit", "QuvoSetCaptureFileName", "QuvoStartCapture", "QuvoStopCapture",
    "QuvoStartRecording", "QuvoStopRecording", "QuvoGetBytesStreamed", "QuvoSetPlaybackFileName",
    "QuvoSetPlaybackMode", "QuvoStartPlayback", "QuvoStopPlayback", "QuvoGetPlaybackCurrentPos",
    "QuvoGetPlaybackFileDuration", "QuvoSetPlaybackCurrentPos", "QuvoGetGraphState",
    "QuvoGetFilterGraphEvent", "QuvoGetCurrentGraphStatus",
};

// name -> nm type letter of every defined dynamic symbol.
std::set<std::pair<std::string, char>> DefinedDynamicSymbols(const std::string& library)
{
    std::set<std::pair<std::string, char>> symbols;
    std::string cmd = "nm -D --defined-only '" + library + "'";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return symbols;
    char line[1024];
    while (fgets(line, sizeof line, p)) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (!(fields >> address >> type >> name)) continue;
        symbols.emplace(name.substr(0, name.find('@')), type[0]);
    }
    EXPECT_EQ(pclose(p), 0) << "nm failed on " << library;
    return symbols;
}

TEST(ExportTable, ExactlyTheQuvoFunctions)
{
    ASSERT_EQ(kExports.size(), 81u);
    auto symbols = DefinedDynamicSymbols(QUVO_SDK_PATH);
    std::set<std::string> names;
    for (const auto& [name, type] : symbols) {
        names.insert(name);
        if (kExports.count(name)) {
            EXPECT_EQ(type, 'T') << name << " is not an exported function";
        }
    }
    for (const auto& name : kExports) EXPECT_TRUE(names.count(name)) << name << " is not exported";
    for (const auto& name : names) EXPECT_TRUE(kExports.count(name)) << name << " is exported but is not ours to export";
}

}  // namespace
