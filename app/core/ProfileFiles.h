// The capture profile file (".vcp") and the signal settings file (".vsp"): INI
// texts with the keys the Windows program writes, exchangeable with it.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/CaptureProfile.h"

namespace encoderdesk {

// Writes the record unchanged (no preset rule) into `name` with its extension
// replaced by ".vcp" (an extension ".VCP" stays); a code outside 0-3, an MPEG type or standard outside 0-1
// leaves its key out. False with `error` set when a write fails.
bool SaveCaptureProfile(const std::string& name, const CaptureProfile& profile, std::string& error);

// Reads `name` with its extension replaced by ".vcp" (a Windows-made "CLIP.VCP"
// is found too). A missing file, or a ProfileCode missing or outside 0-3, leaves
// the profile as it is and gives false. A preset reads no other key; user
// settings read them all. The preset rule is applied to a loaded profile.
bool LoadCaptureProfile(const std::string& name, CaptureProfile& profile);

// The positions of the signal controls.
struct SignalSettings {
    std::array<int, 5> procAmp{};  // brightness, contrast, hue, saturation, sharpness
    int audioVolume = 0;
    std::optional<bool> mute;  // only while the mute box is enabled (the board can mute)
};

// Writes `name` with its extension replaced by ".vsp". False with `error` set when
// a write fails.
bool SaveSignalSettings(const std::string& name, const SignalSettings& settings, std::string& error);

// Reads the file under `name` as it is (no extension forced); each missing or
// malformed key keeps its value from `current`, and the mute state is read only
// when `current` has one.
SignalSettings LoadSignalSettings(const std::string& name, const SignalSettings& current);

}  // namespace encoderdesk
