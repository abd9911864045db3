// Where the program keeps its settings file and its profile folder. A portable
// setup keeps them beside the program (the file, or the "Profile" folder, exists
// there); an installed program keeps them in the user's configuration and data
// folders under its name. Nothing is ever created beside the program.
#pragma once

#include <string>

namespace encoderdesk {

inline constexpr const char* kProgramName = "encoderdesk";

struct ProgramLocations {
    std::string settingsFile;      // ".../encoderdesk.ini"
    std::string profileDirectory;  // ".../Profile", without a trailing "/"
};

// `programDir`: the folder of the program file; `configHome` and `dataHome`: the
// user's configuration and data folders ($XDG_CONFIG_HOME, $XDG_DATA_HOME).
ProgramLocations FindProgramLocations(const std::string& programDir, const std::string& configHome,
                                      const std::string& dataHome);

}  // namespace encoderdesk
