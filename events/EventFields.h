#pragma once
// An event's own data as named values, for the exports: each record type
// lists its fields (genericParser::fields) into a sink. Numbers are the ones
// the description shows (indexes 1-based, group 0 the whole crane, relay 0 the
// siren); decimals carry the places the description prints them with.
#include <string>

class FieldSink {
public:
    virtual ~FieldSink() = default;
    virtual void integer(const char* name, long long value) = 0;
    virtual void decimal(const char* name, double value, int places) = 0;
    virtual void text(const char* name, const std::string& value) = 0;
};
