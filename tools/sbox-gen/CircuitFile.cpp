#include "tools/sbox-gen/CircuitFile.h"

#include <algorithm>
#include <fstream>
#include <regex>

namespace sboxgen {

namespace {

int Node(const std::string& name)
{
    if (name == "ones")
        return 6;
    return std::stoi(name.substr(1)); // xN is node N, tN node N
}

} // namespace

CircuitFile ReadCircuitFile(const std::string& path)
{
    CircuitFile file;
    std::ifstream in(path);
    if (!in)
        return file;
    const std::regex head(R"(inline void Sbox(\d)(Ternary|Binary)\()");
    const std::regex ternary(R"(const V t(\d+) = Ops::template Ternary<0x([0-9A-F]+)>\((\w+), (\w+), (\w+)\);)");
    const std::regex binary(R"(const V t(\d+) = Ops::(And|Or|Xor|AndNot)\((\w+), (\w+)\);)");
    const std::regex output(R"(y(\d) = (\w+);)");
    Circuit* current = nullptr;
    int found = 0;
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, head)) {
            const int box = std::stoi(m[1]) - 1;
            current = m[2] == "Ternary" ? &file.ternary[box] : &file.binary[box];
            ++found;
        } else if (current && std::regex_search(line, m, ternary)) {
            current->gates.push_back({std::stoi(m[2], nullptr, 16), Node(m[3]), Node(m[4]), Node(m[5])});
        } else if (current && std::regex_search(line, m, binary)) {
            static const std::string kOps[] = {"And", "Or", "Xor", "AndNot"};
            const int op = int(std::find(kOps, kOps + 4, m[2].str()) - kOps);
            current->gates.push_back({op, Node(m[3]), Node(m[4]), 0});
        } else if (current && std::regex_search(line, m, output)) {
            current->out[std::stoi(m[1])] = Node(m[2]);
        }
    }
    file.ok = found == 16;
    for (int box = 0; box < 8 && file.ok; ++box) {
        file.ok = Verify(file.ternary[box], box, GateSet::Ternary) && Verify(file.binary[box], box, GateSet::Binary);
    }
    return file;
}

} // namespace sboxgen
