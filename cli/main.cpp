// gruvik2-cli: the program's pipeline without a window.
#include <clocale>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace {
std::map<std::string, CliCommand>& registry() {
    static std::map<std::string, CliCommand> commands;
    return commands;
}

void usage() {
    std::fprintf(stderr, "usage: gruvik2-cli COMMAND ...\n");
    for (const auto& [name, cmd] : registry())
        std::fprintf(stderr, "  gruvik2-cli %s %s\n", name.c_str(), cmd.usage);
}
} // namespace

bool registerCommand(const CliCommand& command) {
    registry()[command.name] = command;
    return true;
}

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    if (argc < 2) {
        usage();
        return 2;
    }
    auto it = registry().find(argv[1]);
    if (it == registry().end()) {
        usage();
        return 2;
    }
    return it->second.run(std::vector<std::string>(argv + 2, argv + argc));
}
