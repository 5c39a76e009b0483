#pragma once
// Progress for the command line: one line on stderr, rewritten in place (a
// message's line breaks folded, at most 20 times a second), and only when
// stderr is a terminal, so redirected output stays clean.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <unistd.h>

#include "common/Progress.h"

class TextProgress : public Progress {
public:
    // cancelled is asked on every update; true works as the cancel button.
    explicit TextProgress(int maximum, std::function<bool()> cancelled = {})
        : maximum_(maximum), shown_(::isatty(2) == 1), cancelled_(std::move(cancelled)) {}
    ~TextProgress() override {
        if (shown_ && used_) std::fputs("\r\033[K", stderr);
    }
    bool update(int value, const std::string& message) override {
        auto now = std::chrono::steady_clock::now();
        if (shown_ && (!used_ || now - last_ >= std::chrono::milliseconds(50))) {
            used_ = true;
            last_ = now;
            std::string line = message;
            for (char& c : line)
                if (c == '\n') c = ' ';
            std::fprintf(stderr, "\r\033[K%s %d/%d", line.c_str(), value, maximum_);
            std::fflush(stderr);
        }
        return !(cancelled_ && cancelled_());
    }

private:
    int maximum_;
    bool shown_;
    bool used_ = false;
    std::chrono::steady_clock::time_point last_{};
    std::function<bool()> cancelled_;
};
