#pragma once
// A small reader of command-line options in the habits of the other
// tools: "-o FILE", "--output FILE", "--output=FILE", "--" ending the
// options, "-" a file name (standard input or output). A single dash before
// a word means the same as two ("-raw").

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class ArgumentList {
public:
    struct Option {
        std::vector<std::string> names; // without dashes: {"o", "output"}
        bool takesValue = false;
    };

    // The wrong argument, in the program's words ("opsi tidak dikenal: x").
    class Error : public std::invalid_argument {
    public:
        using std::invalid_argument::invalid_argument;
    };

    // Reads args (args[0], the sub-command, is skipped). Throws Error.
    ArgumentList(const std::vector<std::string>& args, const std::vector<Option>& options);

    // By the option's first name; the last one given wins.
    bool IsSet(const std::string& name) const;
    std::optional<std::string> Value(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

private:
    std::vector<Option> options_;
    std::vector<std::pair<std::string, std::string>> given_; // first name, value
    std::vector<std::string> positional_;
};
