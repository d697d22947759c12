// SPDX-License-Identifier: MIT
#include "view/html_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tarvik::view {
namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  AppendEscaped(out, text);
  return out;
}

std::string Outside(std::string_view text, std::size_t maxCharacters = 100) {
  std::string out;
  AppendOutsideText(out, text, maxCharacters);
  return out;
}

TEST(HtmlTextTest, MarkupCharactersBecomeReferences) {
  EXPECT_EQ(Escaped("a<b>&\"c\"'d'"), "a&lt;b&gt;&amp;&quot;c&quot;&#39;d&#39;");
  EXPECT_EQ(Escaped("&amp;"), "&amp;amp;");
  EXPECT_EQ(Escaped("plain text 1-9"), "plain text 1-9");
}

TEST(HtmlTextTest, OutsideTextKeepsWellFormedUtf8AndReplacesTheRest) {
  // Two-, three- and four-byte characters pass.
  EXPECT_EQ(Outside("Gr\xC3\xBC\xC3\x9F"
                    "e \xE2\x82\xAC \xF0\x9F\x98\x80"),
            "Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x82\xAC \xF0\x9F\x98\x80");
  const std::string bad = "\xEF\xBF\xBD";  // U+FFFD
  EXPECT_EQ(Outside("a\xFF"
                    "b"),
            "a" + bad + "b");                                     // never a lead byte
  EXPECT_EQ(Outside("\xC0\xAF"), bad + bad);                      // overlong '/'
  EXPECT_EQ(Outside("\xE0\x80\xAF"), bad + bad + bad);            // overlong, three bytes
  EXPECT_EQ(Outside("\xED\xA0\x80"), bad + bad + bad);            // a surrogate
  EXPECT_EQ(Outside("\xF4\x90\x80\x80"), bad + bad + bad + bad);  // above U+10FFFF
  EXPECT_EQ(Outside("x\xE2\x82"), "x" + bad + bad);               // cut short at the end
  EXPECT_EQ(Outside("\xC3"
                    "A"),
            bad + "A");  // continuation missing
}

TEST(HtmlTextTest, OutsideTextHoldsNoControlOrNoncharacter) {
  const std::string bad = "\xEF\xBF\xBD";
  EXPECT_EQ(Outside(std::string("a\0b", 3)), "a" + bad + "b");
  EXPECT_EQ(Outside("\x01\x1B\x7F"), bad + bad + bad);
  EXPECT_EQ(Outside("\xC2\x85"), bad);          // U+0085, a C1 control
  EXPECT_EQ(Outside("\xEF\xB7\x90"), bad);      // U+FDD0
  EXPECT_EQ(Outside("\xEF\xBF\xBE"), bad);      // U+FFFE
  EXPECT_EQ(Outside("\xF0\x9F\xBF\xBF"), bad);  // U+1FFFF
  EXPECT_EQ(Outside("a\tb\nc\rd"), "a b c d");
  EXPECT_EQ(Outside("<x & y>"), "&lt;x &amp; y&gt;");
}

TEST(HtmlTextTest, OutsideTextIsCutAfterMaxCharactersNotBytes) {
  EXPECT_EQ(Outside("abcdef", 3), "abc\xE2\x80\xA6");
  EXPECT_EQ(Outside("abc", 3), "abc");
  EXPECT_EQ(Outside("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9\xE2\x80\xA6");
  EXPECT_EQ(Outside("\"\"\"\"", 2), "&quot;&quot;\xE2\x80\xA6");
  EXPECT_EQ(Outside("", 0), "");
}

}  // namespace
}  // namespace tarvik::view
