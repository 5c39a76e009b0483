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
#include "common/CommandLine.h"
#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "views/ReportOptions.h"

namespace {
std::map<std::string, CliCommand>& registry() {
    static std::map<std::string, CliCommand> commands;
    return commands;
}

void usage(FILE* to) {
    std::fprintf(to, "Использование: gruvik2-cli КОМАНДА [ПАРАМЕТРЫ]\n"
                     "Образ памяти регистратора параметров (*.rpd) без окна: отчёты, экспорт,\n"
                     "считывание и запись через устройство считывания.\n\nКоманды:\n");
    for (const auto& [name, cmd] : registry())
        std::fprintf(to, "  gruvik2-cli %s %s\n", name.c_str(), cmd.usage);
    std::fprintf(to, "\n  -h, --help      эта справка\n"
                     "  -V, --version   версия программы\n\n"
                     "Параметры команды: gruvik2-cli КОМАНДА --help.\n"
                     "Код завершения: 0 готово, 1 прервано, 2 ошибка, 141 читатель вывода "
                     "закрыл канал.\n");
}

void commandHelp(const std::string& name, const CliCommand& cmd) {
    std::printf("Использование: gruvik2-cli %s %s\n%s", name.c_str(), cmd.usage, cmd.help);
    if (cmd.filterOptions) std::printf("%s", filterOptionsHelp);
    std::printf("  -h, --help      эта справка\n  -V, --version   версия программы\n");
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

int badCommandLine(const std::string& error) {
    std::fprintf(stderr, "gruvik2-cli: %s\nСправка: gruvik2-cli --help\n", error.c_str());
    return 2;
}

} // namespace

bool registerCommand(const CliCommand& command) {
    registry()[command.name] = command;
    return true;
}

int usageError(const char* command, const std::string& error) {
    const auto it = registry().find(command);
    std::fprintf(stderr, "gruvik2-cli %s: %s\nИспользование: gruvik2-cli %s %s\n", command,
                 error.c_str(), command, it == registry().end() ? "" : it->second.usage);
    std::fprintf(stderr, "Справка: gruvik2-cli %s --help\n", command);
    return 2;
}

void printFailure(const std::exception& e) {
    std::fprintf(stderr, "%s\n", failureText(e).c_str());
}

int stdoutFailed(int code) {
    if (code == EPIPE) return ClosedPipeStatus;
    printFailure(errorExc::withPath(CannotWriteFile, "stdout", code ? code : EIO));
    return 2;
}

int stdoutFlushed() {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    return stdoutFailed(errno);
}

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    // A reader that went away is seen as EPIPE on the write (stdoutFailed),
    // not as a signal in the middle of replacing a file.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        usage(stderr);
        return 2;
    }
    const std::string& first = args[0];
    if (first == "--help" || first == "-h" || first == "help") {
        if (first == "help" && args.size() > 1) {
            auto it = registry().find(args[1]);
            if (it == registry().end()) return badCommandLine("неизвестная команда: " + args[1]);
            commandHelp(it->first, it->second);
        } else {
            usage(stdout);
        }
        return stdoutFlushed();
    }
    if (first == "--version" || first == "-V") {
        std::fputs(versionText("gruvik2-cli").c_str(), stdout);
        return stdoutFlushed();
    }
    if (first.size() > 1 && first[0] == '-')
        return badCommandLine("неизвестный параметр: " + first);
    auto it = registry().find(first);
    if (it == registry().end()) return badCommandLine("неизвестная команда: " + first);
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    switch (helpRequested(rest)) {
    case HelpRequest::help:
        commandHelp(it->first, it->second);
        return stdoutFlushed();
    case HelpRequest::version:
        std::fputs(versionText("gruvik2-cli").c_str(), stdout);
        return stdoutFlushed();
    case HelpRequest::none:
        break;
    }
    int status = runCommand(it->second, rest);
    // A command that failed has said why already; output that did not reach
    // its place makes any other outcome a failure.
    if (status != 2 && status != ClosedPipeStatus)
        if (int written = stdoutFlushed()) status = written;
    return status;
}
