#pragma once
// Sets the time zone for one test and restores the process's own afterwards.
#include <cstdlib>
#include <ctime>

class TzScope {
public:
    explicit TzScope(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }
    ~TzScope() {
        unsetenv("TZ");
        tzset();
    }
    TzScope(const TzScope&) = delete;
    TzScope& operator=(const TzScope&) = delete;
};
