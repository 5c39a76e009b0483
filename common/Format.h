#pragma once
// printf-style formatting into a std::string (UTF-8 in, UTF-8 out).
#include <cstdarg>
#include <string>

std::string strprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string vstrprintf(const char* format, va_list args);

// printf's "%.*f" of v with places decimals as the C locale prints it (a
// point, whatever LC_NUMERIC says); nan and inf as printf spells them.
std::string fixedDecimal(double v, int places);
