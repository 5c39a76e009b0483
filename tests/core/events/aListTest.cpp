#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "events/aList.h"

namespace {

struct Named : aLink {
    Named(char c, int* deaths) : name(c), deaths(deaths) {}
    ~Named() override { ++*deaths; }
    char name;
    int* deaths;
};

std::string forward(const aList& l) {
    std::string s;
    for (aLink* p = l.first; p; p = p->next)
        s += static_cast<Named*>(p)->name;
    return s;
}

std::string backward(const aList& l) {
    std::string s;
    for (aLink* p = l.last; p; p = p->prev)
        s.insert(s.begin(), static_cast<Named*>(p)->name);
    return s;
}

struct Fixture {
    int deaths = 0;
    aList list;
    std::vector<Named*> n;
    explicit Fixture(const std::string& names) {
        for (char c : names) {
            n.push_back(new Named(c, &deaths));
            list.pushBack(n.back());
        }
    }
    Named* at(char c) { return n[size_t(c - 'a')]; }
};

TEST(aList, OperationsKeepBothDirectionsConsistent) {
    struct Case {
        const char* what;
        void (*op)(Fixture&);
        const char* result;
    };
    const Case cases[] = {
        {"pushFront", [](Fixture& f) { f.list.pushFront(new Named('x', &f.deaths)); }, "xabcde"},
        {"insertBefore first",
         [](Fixture& f) { f.list.insertBefore(f.at('a'), new Named('x', &f.deaths)); }, "xabcde"},
        {"insertBefore middle",
         [](Fixture& f) { f.list.insertBefore(f.at('c'), new Named('x', &f.deaths)); }, "abxcde"},
        {"insertAfter last",
         [](Fixture& f) { f.list.insertAfter(f.at('e'), new Named('x', &f.deaths)); }, "abcdex"},
        {"unlink first",
         [](Fixture& f) {
             f.list.unlink(f.at('a'));
             delete f.at('a');
         },
         "bcde"},
        {"unlink last",
         [](Fixture& f) {
             f.list.unlink(f.at('e'));
             delete f.at('e');
         },
         "abcd"},
        {"moveBefore", [](Fixture& f) { f.list.moveBefore(f.at('b'), f.at('e')); }, "aebcd"},
        {"moveAfter", [](Fixture& f) { f.list.moveAfter(f.at('d'), f.at('a')); }, "bcdae"},
        {"moveToFront", [](Fixture& f) { f.list.moveToFront(f.at('c')); }, "cabde"},
        {"moveToBack", [](Fixture& f) { f.list.moveToBack(f.at('a')); }, "bcdea"},
        {"swap adjacent", [](Fixture& f) { f.list.swap(f.at('b'), f.at('c')); }, "acbde"},
        {"swap adjacent reversed", [](Fixture& f) { f.list.swap(f.at('c'), f.at('b')); }, "acbde"},
        {"swap ends", [](Fixture& f) { f.list.swap(f.at('a'), f.at('e')); }, "ebcda"},
        {"swap apart", [](Fixture& f) { f.list.swap(f.at('d'), f.at('b')); }, "adcbe"},
        {"swap first and last pair", [](Fixture& f) { f.list.swap(f.at('e'), f.at('d')); },
         "abced"},
    };
    for (const auto& c : cases) {
        Fixture f("abcde");
        c.op(f);
        EXPECT_EQ(forward(f.list), c.result) << c.what;
        EXPECT_EQ(backward(f.list), c.result) << c.what;
    }
}

TEST(aList, RemoveClearAndDestructorDeleteLinks) {
    int deaths = 0;
    {
        Fixture f("abc");
        f.list.remove(f.at('b'));
        EXPECT_EQ(f.deaths, 1);
        EXPECT_EQ(forward(f.list), "ac");
        f.list.clear();
        EXPECT_EQ(f.deaths, 3);
        EXPECT_TRUE(f.list.empty());
        EXPECT_EQ(f.list.last, nullptr);
        f.list.pushBack(new Named('z', &deaths));
    }
    EXPECT_EQ(deaths, 1);
}

TEST(aList, ChangeCountMovesWithEveryChange) {
    Fixture f("ab");
    uint64_t before = f.list.changeCount();
    f.list.swap(f.at('a'), f.at('b'));
    EXPECT_NE(f.list.changeCount(), before);
}

} // namespace
