// What the program's tests with the virtual board share: the built modules
// registered into the test's own registry (as an installation registers them for
// its user), and the board's control command run as another process.
#pragma once

#include <string>

namespace encoderdesk::test {

// Registers the board, the writer, the decoders (and the maker's filters when
// built) with regsvr; false when one fails.
bool RegisterModules();

// Runs `boardctl <arguments>`; its exit status.
int BoardCtl(const std::string& arguments);

// Runs a shell command; its standard output and error.
std::string Run(const std::string& command, int* status = nullptr);

}  // namespace encoderdesk::test
