#include "events/aList.h"

aList::~aList() {
    clear();
}

void aList::pushFront(aLink* link) {
    link->prev = nullptr;
    link->next = first;
    if (first)
        first->prev = link;
    else
        last = link;
    first = link;
    ++changes_;
}

void aList::pushBack(aLink* link) {
    link->next = nullptr;
    link->prev = last;
    if (last)
        last->next = link;
    else
        first = link;
    last = link;
    ++changes_;
}

void aList::insertBefore(aLink* pos, aLink* link) {
    if (pos == first) return pushFront(link);
    link->next = pos;
    link->prev = pos->prev;
    pos->prev->next = link;
    pos->prev = link;
    ++changes_;
}

void aList::insertAfter(aLink* pos, aLink* link) {
    if (pos == last) return pushBack(link);
    link->prev = pos;
    link->next = pos->next;
    pos->next->prev = link;
    pos->next = link;
    ++changes_;
}

void aList::unlink(aLink* link) {
    if (link->prev)
        link->prev->next = link->next;
    else
        first = link->next;
    if (link->next)
        link->next->prev = link->prev;
    else
        last = link->prev;
    link->prev = link->next = nullptr;
    ++changes_;
}

void aList::remove(aLink* link) {
    unlink(link);
    delete link;
}

void aList::moveBefore(aLink* pos, aLink* link) {
    if (pos == link) return;
    unlink(link);
    insertBefore(pos, link);
}

void aList::moveAfter(aLink* pos, aLink* link) {
    if (pos == link) return;
    unlink(link);
    insertAfter(pos, link);
}

void aList::moveToFront(aLink* link) {
    unlink(link);
    pushFront(link);
}

void aList::moveToBack(aLink* link) {
    unlink(link);
    pushBack(link);
}

void aList::swap(aLink* a, aLink* b) {
    if (a == b) return;
    if (a->next == b) return moveAfter(b, a);
    if (b->next == a) return moveAfter(a, b);
    // Neither is next to the other: each one's neighbour stays put while the
    // other moves.
    aLink* afterA = a->next;
    aLink* afterB = b->next;
    unlink(a);
    if (afterB)
        insertBefore(afterB, a);
    else
        pushBack(a);
    unlink(b);
    if (afterA)
        insertBefore(afterA, b);
    else
        pushBack(b);
}

void aList::clear() {
    aLink* l = first;
    first = last = nullptr;
    while (l) {
        aLink* next = l->next;
        delete l;
        l = next;
    }
    ++changes_;
}
