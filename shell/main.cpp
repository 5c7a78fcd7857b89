// The executable's entry: everything happens in the mode the command line picks.
#include "shell/Modes.h"

int main(int argc, char** argv)
{
    return shell::RunSaverProgram(argc, argv);
}
