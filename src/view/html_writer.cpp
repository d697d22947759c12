// SPDX-License-Identifier: MIT
#include "view/html_writer.h"

#include <cassert>
#include <charconv>

#include "view/html_text.h"

namespace tarvik::view {

HtmlWriter& HtmlWriter::Open(std::string_view name) {
  Void(name);
  open_.push_back(name);
  return *this;
}

HtmlWriter& HtmlWriter::Void(std::string_view name) {
  assert(!inAttribute_);
  BeforeText();
  out_ += '<';
  out_ += name;
  inStartTag_ = true;
  return *this;
}

HtmlWriter& HtmlWriter::Attribute(std::string_view name, std::string_view value) {
  return StartAttribute(name).Text(value).EndAttribute();
}

HtmlWriter& HtmlWriter::Attribute(std::string_view name, std::int64_t value) {
  return StartAttribute(name).Number(value).EndAttribute();
}

HtmlWriter& HtmlWriter::Attribute(std::string_view name, Coordinate value) {
  return StartAttribute(name).Number(value).EndAttribute();
}

HtmlWriter& HtmlWriter::Attribute(std::string_view name, std::span<const Point> points) {
  StartAttribute(name);
  for (const Point& point : points) {
    if (&point != points.data()) out_ += ' ';
    AppendCoordinate(point.x);
    out_ += ',';
    AppendCoordinate(point.y);
  }
  return EndAttribute();
}

HtmlWriter& HtmlWriter::Attribute(std::string_view name) {
  assert(inStartTag_ && !inAttribute_);
  out_ += ' ';
  out_ += name;
  return *this;
}

HtmlWriter& HtmlWriter::Href(std::string_view base, std::string_view path) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  StartAttribute("href");
  for (const std::string_view part : {base, path}) {
    for (const char c : part) {
      const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                         c == '/';
      if (plain) {
        out_ += c;
      } else {
        const auto byte = static_cast<unsigned char>(c);
        out_ += '%';
        out_ += kDigits[byte >> 4];
        out_ += kDigits[byte & 0xFu];
      }
    }
  }
  return EndAttribute();
}

HtmlWriter& HtmlWriter::StartAttribute(std::string_view name) {
  assert(inStartTag_ && !inAttribute_);
  out_ += ' ';
  out_ += name;
  out_ += "=\"";
  inAttribute_ = true;
  return *this;
}

HtmlWriter& HtmlWriter::EndAttribute() {
  assert(inAttribute_);
  out_ += '"';
  inAttribute_ = false;
  return *this;
}

HtmlWriter& HtmlWriter::Close() {
  assert(!open_.empty() && !inAttribute_);
  BeforeText();
  out_ += "</";
  out_ += open_.back();
  out_ += '>';
  open_.pop_back();
  return *this;
}

HtmlWriter& HtmlWriter::SelfClose() {
  assert(inStartTag_ && !inAttribute_ && !open_.empty());
  out_ += "/>";
  inStartTag_ = false;
  open_.pop_back();
  return *this;
}

HtmlWriter& HtmlWriter::Text(std::string_view text) {
  BeforeText();
  AppendEscaped(out_, text);
  return *this;
}

HtmlWriter& HtmlWriter::OutsideText(std::string_view text, std::size_t maxCharacters) {
  BeforeText();
  AppendOutsideText(out_, text, maxCharacters);
  return *this;
}

HtmlWriter& HtmlWriter::Number(std::int64_t value) {
  BeforeText();
  AppendNumber(value);
  return *this;
}

HtmlWriter& HtmlWriter::Number(Coordinate value) {
  BeforeText();
  AppendCoordinate(value.value);
  return *this;
}

HtmlWriter& HtmlWriter::Entity(std::string_view name) {
  BeforeText();
  out_ += '&';
  out_ += name;
  out_ += ';';
  return *this;
}

HtmlWriter& HtmlWriter::Raw(std::string_view markup) {
  assert(!inAttribute_);
  BeforeText();
  out_ += markup;
  return *this;
}

HtmlWriter& HtmlWriter::Element(std::string_view name, std::string_view text) {
  return Open(name).Text(text).Close();
}

HtmlWriter& HtmlWriter::Element(std::string_view name, std::string_view cssClass,
                                std::string_view text) {
  return Open(name).Class(cssClass).Text(text).Close();
}

HtmlWriter& HtmlWriter::SvgLine(std::string_view cssClass, Point from, Point to) {
  return Open("line")
      .Class(cssClass)
      .Attribute("x1", Coordinate{from.x})
      .Attribute("y1", Coordinate{from.y})
      .Attribute("x2", Coordinate{to.x})
      .Attribute("y2", Coordinate{to.y})
      .SelfClose();
}

HtmlWriter& HtmlWriter::OpenSvgText(Point at, std::string_view anchor) {
  return Open("text")
      .Attribute("x", Coordinate{at.x})
      .Attribute("y", Coordinate{at.y})
      .Attribute("text-anchor", anchor);
}

void HtmlWriter::AppendNumber(std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out_.append(buffer, result.ptr);
}

void HtmlWriter::AppendCoordinate(double value) {
  const auto tenths = static_cast<std::int64_t>(value * 10.0 + (value < 0 ? -0.5 : 0.5));
  if (tenths < 0) out_ += '-';
  const std::int64_t magnitude = tenths < 0 ? -tenths : tenths;
  AppendNumber(magnitude / 10);
  if (magnitude % 10 != 0) {
    out_ += '.';
    out_ += static_cast<char>('0' + magnitude % 10);
  }
}

}  // namespace tarvik::view
