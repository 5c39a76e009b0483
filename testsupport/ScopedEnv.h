#pragma once
// Test helpers for process-wide settings that a test changes for its own span.
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "common/ErrorLog.h"

// Sets TZ (and tzset) until the end of the scope.
class ScopedTZ {
public:
    explicit ScopedTZ(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTZ() {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> old_;
};

// Collects what the core reports to the error log until the end of the scope.
class CollectedErrors : public ErrorLog {
public:
    CollectedErrors() : previous_(setErrorLog(this)) {}
    ~CollectedErrors() override { setErrorLog(previous_); }
    void error(const std::string& message) override { messages.push_back(message); }
    std::vector<std::string> messages;

private:
    ErrorLog* previous_;
};
