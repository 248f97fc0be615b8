#include "cli/ArgumentList.h"

#include <algorithm>

ArgumentList::ArgumentList(const std::vector<std::string>& args, const std::vector<Option>& options) : options_(options)
{
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg.substr(arg.starts_with("--") ? 2 : 1);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        const auto option = std::find_if(options_.begin(), options_.end(), [&](const Option& o) {
            return std::find(o.names.begin(), o.names.end(), name) != o.names.end();
        });
        if (option == options_.end())
            throw Error("opsi tidak dikenal: " + name);
        std::string value;
        if (option->takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                throw Error("opsi tanpa nilai: " + arg);
            }
        } else if (inlineValue) {
            throw Error("opsi " + arg.substr(0, arg.find('=')) + " tidak memakai nilai");
        }
        given_.emplace_back(option->names.front(), value);
    }
}

bool ArgumentList::IsSet(const std::string& name) const
{
    return std::any_of(given_.begin(), given_.end(), [&](const auto& g) { return g.first == name; });
}

std::optional<std::string> ArgumentList::Value(const std::string& name) const
{
    for (auto it = given_.rbegin(); it != given_.rend(); ++it)
        if (it->first == name)
            return it->second;
    return std::nullopt;
}
