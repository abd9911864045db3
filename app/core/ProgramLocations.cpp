#include "core/ProgramLocations.h"

#include <filesystem>
#include <system_error>

#include "core/FileNaming.h"

namespace encoderdesk {

ProgramLocations FindProgramLocations(const std::string& programDir, const std::string& configHome,
                                      const std::string& dataHome)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string beside = NormalizeDirectory(programDir);
    const std::string iniName = std::string(kProgramName) + ".ini";
    ProgramLocations where;
    where.settingsFile = fs::is_regular_file(beside + iniName, ec)
                             ? beside + iniName
                             : NormalizeDirectory(configHome) + kProgramName + "/" + iniName;
    where.profileDirectory = fs::is_directory(beside + "Profile", ec)
                                 ? beside + "Profile"
                                 : NormalizeDirectory(dataHome) + kProgramName + "/Profile";
    return where;
}

}  // namespace encoderdesk
