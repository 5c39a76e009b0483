#include "common/errorExc.h"

#include <cstdarg>
#include <system_error>

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

errorExc errorExc::withPath(std::string text, const std::string& path, int code) {
    return withReason(std::move(text), path, systemReason(code));
}

errorExc errorExc::withReason(std::string text, const std::string& path,
                              const std::string& reason) {
    errorExc e;
    e.text_ = std::move(text);
    e.detail_ = path + ": " + reason;
    return e;
}

std::string errorExc::fullMessage(bool detailOnOwnLine) const {
    if (detail_.empty()) return text_;
    return detailOnOwnLine ? text_ + "\n" + detail_ : text_ + " (" + detail_ + ")";
}

std::string systemReason(int code) {
    return std::generic_category().message(code);
}

std::string failureText(const std::exception& e, bool detailOnOwnLine) {
    if (auto* own = dynamic_cast<const errorExc*>(&e)) return own->fullMessage(detailOnOwnLine);
    return e.what();
}
