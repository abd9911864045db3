// The main window's device status and what each status shows: which operation
// buttons are enabled, the status text, and which settings may change.
#pragma once

#include <cstdint>
#include <string>

namespace encoderdesk {

enum TDeviceStatus : std::uint8_t {
    dsIdle,             // nothing runs; every setting can change
    dsInitMode,         // a graph is being started; the timers do nothing
    dsPreview,          // preview runs, nothing is written
    dsOnTheFlyCapture,  // recording from a running preview
    dsCapture,          // capture started from idle
    dsPlayback,         // the current file plays
};

// EnableButtons bits.
enum : int {
    kButtonPreview = 1,
    kButtonCapture = 2,
    kButtonPlayback = 4,
    kButtonStop = 8,
};

struct StatusView {
    int buttons = 0;               // EnableButtons set
    const char* text = "";         // the status panel's caption
    bool settingsEnabled = false;  // inputs, mute, volume, file page, profile button, menu items
    bool autoOffEnabled = false;   // the automatic-stop group
    bool recording = false;        // tray animation; the byte count restarts
};

StatusView ViewOf(TDeviceStatus status);

// Closing asks first in every status but idle and preview.
bool CloseNeedsConfirmation(TDeviceStatus status);

// The question: device and operation in double quotes; the text ends in a blank.
std::string CloseQuestion(const std::string& deviceName, const std::string& statusText);

// The file-exists warning before a preview.
std::string OverwriteQuestion(const std::string& file);

}  // namespace encoderdesk
