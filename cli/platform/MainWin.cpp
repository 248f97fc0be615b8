#include "cli/CliMain.h"

#include "storage/WindowsText.h"

#include <string>
#include <vector>

// Built with -municode, so the runtime calls this one.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i)
        arguments.push_back(karsidan::storage::Utf8FromWide(argv[i]));
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return CliMain(argc, pointers.data());
}
