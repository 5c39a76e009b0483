#pragma once
// gruvik2-cli sub-commands register themselves here, one source file each.
#include <exception>
#include <string>
#include <vector>

struct CliCommand {
    const char* name;
    const char* usage; // one line, after the command name
    int (*run)(const std::vector<std::string>& args);
};

class RecorderImage;

// Loads the one IMAGE argument of command into image. On a wrong argument count
// or a file that cannot be loaded prints the usage or the image's message on
// stderr and returns false (the command then exits with 2).
bool loadImageArgument(const std::vector<std::string>& args, const char* command,
                       RecorderImage& image);

// The failure on stderr: the program's message with the system's detail.
void printFailure(const std::exception& e);

// Flushes stdout; false, with the reason on stderr, when what was written to it
// did not all arrive.
bool stdoutWritten();
// A write to stdout failed with code (errno): says so on stderr; returns 2.
int stdoutFailed(int code);

// Registers at static-initialisation time; returns a dummy for a namespace-scope initialiser.
bool registerCommand(const CliCommand& command);
