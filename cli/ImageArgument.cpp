#include <cstdio>
#include <optional>

#include "cli/Command.h"
#include "common/CommandLine.h"
#include "common/errorExc.h"
#include "image/RecorderImage.h"

bool loadImageArgument(const std::vector<std::string>& args, const char* command,
                       RecorderImage& image) {
    CommandLine line;
    std::optional<std::string> error = parseCommandLine(args, {}, line);
    if (!error && line.operands.size() != 1)
        error = line.operands.empty() ? "не указан файл образа"
                                      : "лишний аргумент: " + line.operands[1];
    if (error) {
        usageError(command, *error);
        return false;
    }
    try {
        image.load(line.operands[0], false);
    } catch (const std::exception& e) {
        printFailure(e);
        return false;
    }
    return true;
}
