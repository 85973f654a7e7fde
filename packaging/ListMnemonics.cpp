// Prints the camera's command mnemonics, one a line, for the shell completion.
#include <cstdio>

#include "comm/CommandTable.h"

int main()
{
    for (int index = 0; index < CommandTable::kCount; ++index)
        std::printf("%s\n", CommandTable::Row(index).mnemonic);
    return 0;
}
