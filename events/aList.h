#pragma once
// The intrusive doubly linked list in which events and record prototypes live.
// A list owns its links: remove, clear and the destructor delete them.
#include <cstdint>

class aLink {
public:
    virtual ~aLink() = default;

    // Set when the link is inserted into a list.
    aLink* prev;
    aLink* next;
};

class aList {
public:
    aList() = default;
    virtual ~aList();
    aList(const aList&) = delete;
    aList& operator=(const aList&) = delete;

    aLink* first = nullptr;
    aLink* last = nullptr;

    void pushFront(aLink* link);
    void pushBack(aLink* link);
    void insertBefore(aLink* pos, aLink* link);
    void insertAfter(aLink* pos, aLink* link);
    void unlink(aLink* link);
    void remove(aLink* link);
    void moveBefore(aLink* pos, aLink* link);
    void moveAfter(aLink* pos, aLink* link);
    void moveToFront(aLink* link);
    void moveToBack(aLink* link);
    void swap(aLink* a, aLink* b);
    void clear();

    bool empty() const { return first == nullptr; }
    // Counts every change of membership or order, so that an index kept beside
    // the list can tell that it went stale.
    uint64_t changeCount() const { return changes_; }

private:
    uint64_t changes_ = 0;
};
