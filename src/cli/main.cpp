#include <string>
#include <vector>

#include "cli/KavroCli.h"

int main(int argc, char** argv)
{
    KavroCli cli;
    return cli.Run(std::vector<std::string>(argv + 1, argv + argc));
}
