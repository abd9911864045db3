#include "outside/mpeg/tests/MediaFiles.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace quvo::mpegdec::test {

std::string Run(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[65536];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::string TempPath(const std::string& name)
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/" + name;
}

std::string MakeProgramStream(const std::string& name, const std::string& preset, double seconds,
                              const std::string& extra)
{
    const std::string path = TempPath(name);
    const std::string cmd = "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc=rate=25 "
                            "-f lavfi -i sine=frequency=1000:sample_rate=48000 -t " + std::to_string(seconds)
                            + " -target " + preset + " " + extra + " " + path + " && echo made";
    return Run(cmd).find("made") != std::string::npos ? path : std::string();
}

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

}  // namespace quvo::mpegdec::test
