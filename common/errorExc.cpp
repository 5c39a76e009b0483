#include "common/errorExc.h"

#include <cstdarg>

#include "common/Format.h"

errorExc::errorExc(const char* format, ...) {
    va_list args;
    va_start(args, format);
    text_ = vstrprintf(format, args);
    va_end(args);
}

errorExc errorExc::plain(std::string text) {
    errorExc e;
    e.text_ = std::move(text);
    return e;
}
