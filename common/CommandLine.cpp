#include "common/CommandLine.h"

#include <getopt.h>

#include <cstdio>
#include <cstring>

#ifndef GRUVIK2_VERSION
#define GRUVIK2_VERSION "1.0.0"
#endif

namespace {

constexpr int LongOnly = 0x100; // getopt_long's value of an option without a short name

// The option as the user wrote it, without a value joined by "=".
std::string writtenName(const char* arg) {
    std::string s = arg ? arg : "";
    if (s.rfind("--", 0) == 0)
        if (size_t eq = s.find('='); eq != std::string::npos) s.resize(eq);
    return s;
}

} // namespace

std::optional<std::string> parseCommandLine(const std::vector<std::string>& args,
                                            const std::vector<OptionSpec>& specsGiven,
                                            CommandLine& parsed) {
    std::vector<OptionSpec> specs = specsGiven;
    specs.push_back({"help", 'h', false});
    specs.push_back({"version", 'V', false});
    // "-": operands come back in order as option 1, whatever POSIXLY_CORRECT
    // says; ":": a missing value is told apart from an unknown option.
    std::string shortOptions = "-:";
    std::vector<option> longOptions;
    for (size_t i = 0; i < specs.size(); ++i) {
        const OptionSpec& s = specs[i];
        const int value = s.shortName ? s.shortName : LongOnly + int(i);
        longOptions.push_back(
            {s.name, s.takesValue ? required_argument : no_argument, nullptr, value});
        if (s.shortName) {
            shortOptions += s.shortName;
            if (s.takesValue) shortOptions += ':';
        }
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});

    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.push_back("gruvik2");
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const int argc = int(storage.size());

    auto specOf = [&](int value) -> const OptionSpec* {
        if (value >= LongOnly) return &specs[size_t(value - LongOnly)];
        for (const OptionSpec& s : specs)
            if (s.shortName == value) return &s;
        return nullptr;
    };
    // getopt keeps its state in globals: 0 starts it afresh.
    optind = 0;
    opterr = 0;
    int c;
    int index = -1;
    while ((c = getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), &index)) !=
           -1) {
        const char* current = optind > 0 && optind <= argc ? argv[size_t(optind - 1)] : nullptr;
        if (c == 1) {
            parsed.operands.push_back(optarg);
            continue;
        }
        if (c == '?' || c == ':') {
            std::string name;
            if (current && std::strncmp(current, "--", 2) == 0)
                name = writtenName(current);
            else if (optopt > 0 && optopt < LongOnly)
                name = std::string("-") + char(optopt);
            else
                name = writtenName(current);
            if (c == ':') return "параметру " + name + " нужно значение";
            if (const OptionSpec* s = optopt ? specOf(optopt) : nullptr; s && !s->takesValue)
                return "параметр " + name + " не принимает значения";
            return "неизвестный параметр: " + name;
        }
        const OptionSpec* s = specOf(c);
        if (!s) return "неизвестный параметр: " + writtenName(current);
        const std::string name = s->name;
        if (name == "help")
            parsed.help = true;
        else if (name == "version")
            parsed.version = true;
        else
            parsed.options.emplace_back(name, s->takesValue && optarg ? optarg : "");
    }
    for (int i = optind; i < argc; ++i)
        parsed.operands.push_back(argv[size_t(i)]);
    optind = 0;
    return std::nullopt;
}

HelpRequest helpRequested(const std::vector<std::string>& args) {
    bool version = false;
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") return HelpRequest::help;
        if (a == "--version" || a == "-V") version = true;
    }
    return version ? HelpRequest::version : HelpRequest::none;
}

std::string versionText(const char* program) {
    return std::string(program) + " " GRUVIK2_VERSION "\n";
}

std::optional<int> answerHelpOrVersion(const std::vector<std::string>& args, const char* program,
                                       const std::string& help) {
    switch (helpRequested(args)) {
    case HelpRequest::help:
        std::fputs(help.c_str(), stdout);
        break;
    case HelpRequest::version:
        std::fputs(versionText(program).c_str(), stdout);
        break;
    case HelpRequest::none:
        return std::nullopt;
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
}

std::string badValue(const std::string& option, const std::string& value,
                     const std::string& expected) {
    std::string s = "неверное значение " + option + ": " + value;
    if (!expected.empty()) s += " (ожидается " + expected + ")";
    return s;
}
