#include <gtest/gtest.h>

#include "common/Html.h"

TEST(Html, EscapesMarkupCharacters) {
    EXPECT_EQ(escapeHtml("Кран <№5> & тележка"), "Кран &lt;№5&gt; &amp; тележка");
}

TEST(Html, PrintedPreformattedTextWrapsButKeepsItsLinesAndSpaces) {
    EXPECT_EQ(wrapPreformatted("<TD><PRE>Кран  козловой\n  пролёт 32 м\r\n</PRE></TD>"),
              "<TD><TT>Кран&nbsp; козловой<BR>&nbsp; пролёт 32 м<BR></TT></TD>");
    // Every block, and the text around them as it was.
    EXPECT_EQ(wrapPreformatted("a<PRE>x</PRE>b<PRE> y</PRE>c"), "a<TT>x</TT>b<TT>&nbsp;y</TT>c");
    // Nothing to change, or a block without its end.
    EXPECT_EQ(wrapPreformatted("<P>a  b</P>"), "<P>a  b</P>");
    EXPECT_EQ(wrapPreformatted("<PRE>a  b"), "<PRE>a  b");
    EXPECT_EQ(wrapPreformatted(""), "");
}
