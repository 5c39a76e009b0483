// gruvik2-cli: the program's pipeline without a window.
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "common/SafeFile.h"
#include "common/errorExc.h"

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

int runCommand(const CliCommand& command, const std::vector<std::string>& args) {
    // The last resort: whatever a command did not handle is reported, not an abort.
    try {
        return command.run(args);
    } catch (const std::exception& e) {
        printFailure(e);
    } catch (...) {
        std::fprintf(stderr, "непредвиденная ошибка\n");
    }
    return 2;
}
} // namespace

bool registerCommand(const CliCommand& command) {
    registry()[command.name] = command;
    return true;
}

void printFailure(const std::exception& e) {
    std::fprintf(stderr, "%s\n", failureText(e).c_str());
}

int stdoutFailed(int code) {
    printFailure(errorExc::withPath(CannotWriteFile, "stdout", code ? code : EIO));
    return 2;
}

bool stdoutWritten() {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
    stdoutFailed(errno);
    return false;
}

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    // A reader that went away is a write failure like any other (EPIPE), not
    // the end of the process.
    std::signal(SIGPIPE, SIG_IGN);
    if (argc < 2) {
        usage();
        return 2;
    }
    auto it = registry().find(argv[1]);
    if (it == registry().end()) {
        usage();
        return 2;
    }
    int status = runCommand(it->second, std::vector<std::string>(argv + 2, argv + argc));
    // A command that failed has said why already; output that did not reach
    // its place makes any other outcome a failure.
    if (status != 2 && !stdoutWritten()) status = 2;
    return status;
}
