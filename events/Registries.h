#pragma once
// The prototype registries: one object of every record type of a log, in the
// order in which a record is offered to them; the catch-all type last.
#include <cstdint>

#include "events/aList.h"

class GL_parser;
class SL_parser;

class GL_pList : public aList {
public:
    GL_pList();
    const GL_parser* front() const;
    static const GL_parser* after(const GL_parser* p);
    // The first prototype that accepts record; null when none does.
    const GL_parser* find(const uint8_t* record) const;
};

class SL_pList : public aList {
public:
    SL_pList();
    const SL_parser* front() const;
    static const SL_parser* after(const SL_parser* p);
    const SL_parser* find(const uint8_t* record) const;
};
