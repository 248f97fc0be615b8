// A stand-in for karsidan-cli-net when the launcher is checked: prints its
// arguments, one per line in UTF-8, and exits with 7, so that the caller
// can see that every argument and the exit code came through. Its main is
// the command line's own (platform/Main*.cpp), wmain on Windows.
#include "cli/CliMain.h"
#include "cli/StandardDescriptors.h"

#include <cstdio>

int CliMain(int argc, char** argv)
{
    GuardStandardDescriptors();
    for (int i = 1; i < argc; ++i)
        std::printf("[%s]\n", argv[i]);
    return 7;
}
