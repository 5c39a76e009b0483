#pragma once
// The programs' command lines, parsed the GNU way (getopt_long): long options
// with a value as "--name value" or "--name=value", short ones as "-n value",
// options and operands in any order, "--" ending the options. --help/-h and
// --version/-V are known to every program. Errors are the program's Russian
// texts naming the option.
#include <optional>
#include <string>
#include <vector>

struct OptionSpec {
    const char* name;   // the long name without "--"
    char shortName = 0; // 0: none
    bool takesValue = true;
};

struct CommandLine {
    // Options in the order given: the long name (without "--") and the value.
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> operands;
    bool help = false;
    bool version = false;
};

// args without the program's name. Returns the error text, or nothing.
std::optional<std::string> parseCommandLine(const std::vector<std::string>& args,
                                            const std::vector<OptionSpec>& specs,
                                            CommandLine& parsed);

// What a front end checks before anything else: --help/-h or --version/-V
// among the options (before "--"), help first.
enum class HelpRequest { none, help, version };
HelpRequest helpRequested(const std::vector<std::string>& args);

// "NAME 1.0.0\n", the line --version prints.
std::string versionText(const char* program);

// Answers --help with help and --version with program's version line on
// stdout when args ask for either: the exit status then (0, or 2 when the
// text did not reach stdout); nothing when neither was asked.
std::optional<int> answerHelpOrVersion(const std::vector<std::string>& args, const char* program,
                                       const std::string& help);

// The message of a value that an option does not take, and of the expected
// form: "неверное значение --level: 7 (ожидается 1..5)".
std::string badValue(const std::string& option, const std::string& value,
                     const std::string& expected = {});
