#pragma once
// Where the core reports a failure it has caught and handled (for example a
// decoding walk ended by an errorExc). The GUI shows these in an error box, the
// command line on stderr. Replaceable so that tests can collect them.
#include <string>

class ErrorLog {
public:
    virtual ~ErrorLog() = default;
    virtual void error(const std::string& message) = 0;
};

// The active log (stderr until someone installs another); never null.
ErrorLog& errorLog();
// Installs log (null: back to stderr); returns the previous one.
ErrorLog* setErrorLog(ErrorLog* log);

inline void logError(const std::string& message) {
    errorLog().error(message);
}
