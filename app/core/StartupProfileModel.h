// The startup profile dialog without its widgets: which profile the program
// starts with, read from and written to the [Startup] keys of the settings file.
#pragma once

#include <string>

namespace encoderdesk {

// The two keys' access (the settings file's INI reader and writer serve).
class StartupKeys {
public:
    virtual ~StartupKeys() = default;
    virtual int ReadProfile(int defaultValue) = 0;               // [Startup] Profile
    virtual std::string ReadProfileName(const std::string& defaultValue) = 0;  // [Startup] ProfileName
    virtual void WriteProfile(int value) = 0;
    virtual void WriteProfileName(const std::string& value) = 0;
};

class StartupProfileModel {
public:
    // The radio buttons: 0 VCD, 1 SVCD, 2 DVD, 3 the user profile file.
    int checked = 0;
    std::string fileName;

    // Opening: a stored choice 0-3 checks its button (3 also reads the file
    // name); any other value leaves the buttons as the last opening left them.
    void Load(StartupKeys& keys);
    // OK: the choice, and for 3 the file name as typed.
    void Save(StartupKeys& keys) const;
};

}  // namespace encoderdesk
