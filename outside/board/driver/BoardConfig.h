// Settings of the virtual board that change at run time from outside the process
// (boardctl, tests): signal presence, line count, the input source, the serial
// number, the registered devices and injected faults. They live as values of
// HKEY_CURRENT_USER "Software\Quvo\VirtualBoard"; the board re-reads them at most
// every 200 ms.
#pragma once

#include <string>
#include <vector>

#include "platform/com/Types.h"

namespace quvo::board {

inline constexpr const char* kBoardKey = "Software\\Quvo\\VirtualBoard";

// Value names under kBoardKey.
namespace value {
inline constexpr const char* kSignal = "Signal";                    // DWORD, 1 = a signal is present
inline constexpr const char* kLines = "Lines";                      // DWORD, 0 = the standard's own count
inline constexpr const char* kSource = "Source";                    // string, empty = test signal
inline constexpr const char* kSerialNumber = "SerialNumber";        // string
inline constexpr const char* kDevices = "Devices";                  // multi-string, friendly names
inline constexpr const char* kRegisteredDevices = "RegisteredDevices";  // multi-string, bookkeeping
inline constexpr const char* kFailGetProperty = "FailGetProperty";  // DWORD, property id that fails to read
inline constexpr const char* kFailSetProperty = "FailSetProperty";  // DWORD, property id that fails to write
inline constexpr const char* kNoPropertySet = "NoPropertySet";      // DWORD, 1 = no IKsPropertySet
inline constexpr const char* kNoDecoder = "NoDecoder";              // DWORD, 1 = no IAMAnalogVideoDecoder
inline constexpr const char* kNoProcAmp = "NoProcAmp";              // DWORD, 1 = no IAMVideoProcAmp
inline constexpr const char* kNoCrossbar = "NoCrossbar";            // DWORD, 1 = no IAMCrossbar
inline constexpr const char* kFailProcAmpRange = "FailProcAmpRange";  // DWORD, proc-amp property 0..4
inline constexpr const char* kRefuseTvFormat = "RefuseTVFormat";    // DWORD, TV format code refused
inline constexpr const char* kPlaybackBytes = "PlaybackBytes";      // QWORD, written by the board
inline constexpr const char* kPlaybackSamples = "PlaybackSamples";  // DWORD, written by the board
inline constexpr const char* kPlaybackPictures = "PlaybackPictures";  // DWORD, written by the board
inline constexpr const char* kPlaybackAudioFrames = "PlaybackAudioFrames";  // QWORD, written by the board
inline constexpr const char* kPlaybackErrors = "PlaybackErrors";    // DWORD, written by the board
inline constexpr const char* kPlaybackFile = "PlaybackFile";        // string, where the board writes what it receives
}  // namespace value

inline constexpr const char* kDefaultDevice = "Kestor Recorder A";
inline constexpr const char* kDefaultSerial = "KA26B0417";

struct BoardConfig {
    bool signal = true;
    DWORD lines = 0;
    std::string source;
    std::string serialNumber = kDefaultSerial;
    DWORD failGetProperty = 0;  // 0: none
    DWORD failSetProperty = 0;
    bool noPropertySet = false;
    bool noDecoder = false;
    bool noProcAmp = false;
    bool noCrossbar = false;
    int failProcAmpRange = -1;  // -1: none
    LONG refuseTvFormat = 0;    // 0: none
};

// The configuration as last read; re-reads the registry when the last read is
// more than 200 ms old. Thread-safe.
BoardConfig CurrentConfig();
// Reads the registry now (a new filter starts from fresh values).
BoardConfig RefreshConfig();

// The friendly names the module registers: "Devices" when present (possibly
// empty), else the default device.
std::vector<std::string> ConfiguredDevices();

// Registry access under kBoardKey for the board and boardctl.
bool ReadDword(const char* name, DWORD* out);
bool ReadQword(const char* name, ULONGLONG* out);
bool ReadString(const char* name, std::string* out);
bool ReadMultiString(const char* name, std::vector<std::string>* out);
bool WriteDword(const char* name, DWORD v);
bool WriteQword(const char* name, ULONGLONG v);
bool WriteString(const char* name, const std::string& v);
bool WriteMultiString(const char* name, const std::vector<std::string>& v);
bool DeleteValue(const char* name);

}  // namespace quvo::board
