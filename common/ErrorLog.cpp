#include "common/ErrorLog.h"

#include <cstdio>

namespace {

class StderrLog : public ErrorLog {
public:
    void error(const std::string& message) override {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
};

StderrLog stderrLog;
ErrorLog* active = &stderrLog;

} // namespace

ErrorLog& errorLog() {
    return *active;
}

ErrorLog* setErrorLog(ErrorLog* log) {
    ErrorLog* previous = active;
    active = log ? log : &stderrLog;
    return previous;
}
