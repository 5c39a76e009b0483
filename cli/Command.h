#pragma once
// gruvik2-cli sub-commands register themselves here, one source file each.
#include <exception>
#include <string>
#include <vector>

struct CliCommand {
    const char* name;
    const char* usage; // one line, after the command name
    int (*run)(const std::vector<std::string>& args);
    const char* help = "";      // what it does and its options, for --help
    bool filterOptions = false; // --help lists the filter's options too
};

// A wrong command line of command: error, the usage line and where the help
// is, on stderr; returns 2.
int usageError(const char* command, const std::string& error);

class RecorderImage;

// Loads the one IMAGE argument of command into image. On a wrong argument count
// or a file that cannot be loaded prints the usage or the image's message on
// stderr and returns false (the command then exits with 2).
bool loadImageArgument(const std::vector<std::string>& args, const char* command,
                       RecorderImage& image);

// The failure on stderr: the program's message with the system's detail.
void printFailure(const std::exception& e);

// Flushes stdout; the exit status of what was written to it: 0 when it all
// arrived, else as stdoutFailed.
int stdoutFlushed();
// A write to stdout failed with code (errno): says so on stderr and returns 2;
// a reader that went away (EPIPE) ends the output quietly with 141, the
// status of a process that SIGPIPE ends.
int stdoutFailed(int code);
constexpr int ClosedPipeStatus = 141;

// Registers at static-initialisation time; returns a dummy for a namespace-scope initialiser.
bool registerCommand(const CliCommand& command);
