#include <cstdio>

#include "cli/Command.h"
#include "common/errorExc.h"
#include "image/RecorderImage.h"

bool loadImageArgument(const std::vector<std::string>& args, const char* command,
                       RecorderImage& image) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: gruvik2-cli %s IMAGE\n", command);
        return false;
    }
    try {
        image.load(args[0], false);
    } catch (const std::exception& e) {
        printFailure(e);
        return false;
    }
    return true;
}
