#include <gtest/gtest.h>

#include "common/Text1251.h"

TEST(Text1251, EveryByteRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    auto back = utf8ToCp1251(cp1251ToUtf8(all));
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.bytes, all);
}

TEST(Text1251, KnownLetters) {
    EXPECT_EQ(cp1251ToUtf8("\xC0\xFF\xA8\xB8\xB9"), "АяЁё№");
    EXPECT_EQ(utf8ToCp1251("Механизм №01").bytes, "\xCC\xE5\xF5\xE0\xED\xE8\xE7\xEC \xB9"
                                                  "01");
}

TEST(Text1251, CharactersWithoutAFormAreReportedNotMangled) {
    auto r = utf8ToCp1251("Кран 漢 №2");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.badCharIndex, 5u);
    EXPECT_EQ(r.badChar, "漢");
    EXPECT_EQ(r.badCodePoint, U'漢');
    EXPECT_FALSE(utf8ToCp1251("ok\xC3").ok); // truncated sequence
    EXPECT_FALSE(utf8ToCp1251("\xFFok").ok); // not UTF-8 at all
    EXPECT_EQ(utf8ToCp1251("\xFFok").badCodePoint, 0u);
    EXPECT_EQ(utf8Length("Кран"), 4u);
}
