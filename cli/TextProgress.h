#pragma once
// Progress for the command line: one line on stderr, rewritten in place, and
// only when stderr is a terminal, so redirected output stays clean.
#include <cstdio>
#include <string>
#include <unistd.h>

#include "common/Progress.h"

class TextProgress : public Progress {
public:
    explicit TextProgress(int maximum) : maximum_(maximum), shown_(::isatty(2) == 1) {}
    ~TextProgress() override {
        if (shown_ && used_) std::fputs("\r\033[K", stderr);
    }
    bool update(int value, const std::string& message) override {
        if (!shown_) return true;
        used_ = true;
        std::fprintf(stderr, "\r\033[K%s %d/%d", message.c_str(), value, maximum_);
        return true;
    }

private:
    int maximum_;
    bool shown_;
    bool used_ = false;
};
