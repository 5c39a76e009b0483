#pragma once
// gruvik2-cli sub-commands register themselves here, one source file each.
#include <string>
#include <vector>

struct CliCommand {
    const char* name;
    const char* usage;  // one line, after the command name
    int (*run)(const std::vector<std::string>& args);
};

// Registers at static-initialisation time; returns a dummy for a namespace-scope initialiser.
bool registerCommand(const CliCommand& command);
