// boardctl: the virtual board's control command (see BoardCtl.h).
#include <iostream>

#include "tools/boardctl/BoardCtl.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return quvo::board::RunBoardCtl(args, std::cout, std::cerr);
}
