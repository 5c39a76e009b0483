#pragma once
// Test helpers for the two ways the core reports a failure.
#include <functional>
#include <string>
#include <vector>

#include "common/ErrorLog.h"
#include "common/errorExc.h"

// The message of the errorExc that f throws, or "(no error)".
inline std::string errorMessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const errorExc& e) {
        return e.message();
    }
    return "(no error)";
}

// Collects what the core reports to the error log until the end of the scope.
class CollectedErrors : public ErrorLog {
public:
    CollectedErrors() : previous_(setErrorLog(this)) {}
    ~CollectedErrors() override { setErrorLog(previous_); }
    CollectedErrors(const CollectedErrors&) = delete;
    CollectedErrors& operator=(const CollectedErrors&) = delete;
    void error(const std::string& message) override { messages.push_back(message); }
    std::vector<std::string> messages;

private:
    ErrorLog* previous_;
};
