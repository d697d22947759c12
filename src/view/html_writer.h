// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::view {

// A chart coordinate, written with at most one decimal.
struct Coordinate {
  double value;
};

// A point of a chart, in its drawing's units.
struct Point {
  double x;
  double y;
};

// Writes HTML and SVG markup at the end of a string. Text and attribute values are always
// escaped; markup that goes in as it is passes through Raw, which says so. Elements nest: Close
// ends the innermost one still open. Numbers are written without allocating.
class HtmlWriter {
 public:
  explicit HtmlWriter(std::string& out) : out_(out) {}

  // Starts an element, <name; its attributes follow, until anything else is written.
  HtmlWriter& Open(std::string_view name);
  // Starts an element without content or end tag (<meta ...>); nothing is left open.
  HtmlWriter& Void(std::string_view name);
  HtmlWriter& Attribute(std::string_view name, std::string_view value);
  HtmlWriter& Attribute(std::string_view name, std::int64_t value);
  HtmlWriter& Attribute(std::string_view name, Coordinate value);
  // SVG points: x,y pairs apart by blanks.
  HtmlWriter& Attribute(std::string_view name, std::span<const Point> points);
  // An attribute without a value, such as open.
  HtmlWriter& Attribute(std::string_view name);
  // href: `base` then `path`, each byte a URL path could misread percent-encoded (all but
  // letters, digits, '-', '.', '_', '~' and '/').
  HtmlWriter& Href(std::string_view base, std::string_view path);
  // An attribute whose value is written in parts, by Text, Number and Entity, up to EndAttribute.
  HtmlWriter& StartAttribute(std::string_view name);
  HtmlWriter& EndAttribute();
  HtmlWriter& Class(std::string_view value) { return Attribute("class", value); }
  // Ends the innermost open element with its end tag.
  HtmlWriter& Close();
  // Ends the innermost open element, which has no content, with />, as SVG allows.
  HtmlWriter& SelfClose();

  // Text, escaped: &, <, >, " and ' become character references.
  HtmlWriter& Text(std::string_view text);
  // Text from outside the program (a file name, say), made safe as AppendOutsideText does.
  HtmlWriter& OutsideText(std::string_view text, std::size_t maxCharacters);
  HtmlWriter& Number(std::int64_t value);
  HtmlWriter& Number(Coordinate value);
  // A named character reference, &name;.
  HtmlWriter& Entity(std::string_view name);
  // A line end in the page's source.
  HtmlWriter& Line() { return Raw("\n"); }
  // Markup or style sheet text as it is: the caller vouches for it.
  HtmlWriter& Raw(std::string_view markup);

  // Shorthands: <name>text</name>, and the same with a class.
  HtmlWriter& Element(std::string_view name, std::string_view text);
  HtmlWriter& Element(std::string_view name, std::string_view cssClass, std::string_view text);

  // SVG: <line class="…" x1 y1 x2 y2/>.
  HtmlWriter& SvgLine(std::string_view cssClass, Point from, Point to);
  // SVG: <text x y text-anchor="…">, left open for its content.
  HtmlWriter& OpenSvgText(Point at, std::string_view anchor);

  // How many elements are open.
  std::size_t depth() const { return open_.size(); }

 private:
  // Before text: ends a start tag that is still taking attributes, unless the text is an
  // attribute's value.
  void BeforeText() {
    if (inStartTag_ && !inAttribute_) {
      out_ += '>';
      inStartTag_ = false;
    }
  }
  void AppendNumber(std::int64_t value);
  void AppendCoordinate(double value);

  std::string& out_;
  std::vector<std::string_view> open_;  // names of the open elements, innermost last
  bool inStartTag_ = false;
  bool inAttribute_ = false;
};

}  // namespace tarvik::view
