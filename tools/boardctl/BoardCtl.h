// boardctl: sets the virtual board's run-time values (signal, line count, source,
// devices, faults) that a running board re-reads.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quvo::board {

// Runs one command line (without the program name). 0 on success, 1 when a
// value could not be written, 2 for a bad command line (with a message on `err`).
int RunBoardCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quvo::board
