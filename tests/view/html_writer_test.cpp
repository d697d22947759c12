// SPDX-License-Identifier: MIT
#include "view/html_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::view {
namespace {

// The reference each markup byte becomes; every other byte passes as it is.
std::string Expected(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&#39;";
    default: return std::string(1, c);
  }
}

TEST(HtmlWriterTest, EveryByteOfTextAndOfAttributeValuesIsEscapedOrPassed) {
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const std::string_view one(&c, 1);
    std::string out;
    HtmlWriter w(out);
    w.Open("p").Attribute("title", one).Text(one);
    w.Open("a").StartAttribute("href").Text(one).EndAttribute().Close().Close();
    EXPECT_EQ(out, "<p title=\"" + Expected(c) + "\">" + Expected(c) + "<a href=\"" + Expected(c) +
                       "\"></a></p>")
        << "byte " << b;
  }
}

TEST(HtmlWriterTest, AttributesOfEveryKind) {
  std::string out;
  HtmlWriter w(out);
  const std::vector<Point> points = {{1, 2.25}, {-0.5, 3.04}, {1000, -7.96}};
  w.Open("x")
      .Class("a b")
      .Attribute("n", std::int64_t{-42})
      .Attribute("c", Coordinate{12.34})
      .Attribute("open")
      .Attribute("points", points)
      .StartAttribute("d")
      .Text("M")
      .Number(Coordinate{0.05})
      .Text(" ")
      .Entity("amp")
      .EndAttribute()
      .Close();
  EXPECT_EQ(out,
            "<x class=\"a b\" n=\"-42\" c=\"12.3\" open points=\"1,2.3 -0.5,3 1000,-8\" "
            "d=\"M0.1 &amp;\"></x>");
}

TEST(HtmlWriterTest, NumbersAndCoordinatesKeepTheirSignAndOneDecimal) {
  const struct {
    double value;
    const char* shown;
  } kCoordinates[] = {{0, "0"},     {3, "3"},       {2.5, "2.5"},     {-2.5, "-2.5"},
                      {0.04, "0"},  {-0.04, "0"},   {0.96, "1"},      {-1.06, "-1.1"},
                      {984, "984"}, {20.9, "20.9"}, {243.24, "243.2"}};
  for (const auto& coordinate : kCoordinates) {
    std::string out;
    HtmlWriter(out).Number(Coordinate{coordinate.value});
    EXPECT_EQ(out, coordinate.shown) << coordinate.value;
  }
  std::string out;
  HtmlWriter(out)
      .Number(std::numeric_limits<std::int64_t>::min())
      .Text(" ")
      .Number(std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(out, "-9223372036854775808 9223372036854775807");
}

TEST(HtmlWriterTest, ElementsNestAndEndInnermostFirst) {
  std::string out;
  HtmlWriter w(out);
  w.Open("html").Line();
  w.Void("meta").Attribute("charset", "utf-8").Line();
  w.Open("ul").Class("k");
  EXPECT_EQ(w.depth(), 2u);
  w.Open("li").Element("span", "s", "<1>").Text(" one").Close();
  w.Element("li", "two").Raw("<!-- as it is & -->");
  w.Open("svg").SvgLine("axis", {1, 2}, {3.5, 4}).OpenSvgText({5, 6}, "end").Number(7).Close();
  w.Open("path").Attribute("d", "M0").SelfClose().Close();
  w.Close().Close().Line();
  EXPECT_EQ(w.depth(), 0u);
  EXPECT_EQ(out,
            "<html>\n<meta charset=\"utf-8\">\n<ul class=\"k\"><li><span class=\"s\">&lt;1&gt;"
            "</span> one</li><li>two</li><!-- as it is & --><svg><line class=\"axis\" x1=\"1\" "
            "y1=\"2\" x2=\"3.5\" y2=\"4\"/><text x=\"5\" y=\"6\" text-anchor=\"end\">7</text>"
            "<path d=\"M0\"/></svg></ul></html>\n");
}

TEST(HtmlWriterTest, OutsideTextIsCutAndEscaped) {
  std::string out;
  HtmlWriter(out).Open("h1").OutsideText("<a>\x01z", 3).Close();
  EXPECT_EQ(out, "<h1>&lt;a&gt;\xE2\x80\xA6</h1>");
}

}  // namespace
}  // namespace tarvik::view
