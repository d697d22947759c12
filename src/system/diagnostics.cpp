// SPDX-License-Identifier: MIT
#include "system/diagnostics.h"

#include <ostream>

namespace tarvik {
namespace {

constexpr std::string_view kWriteErrorOn = "write error on ";

}  // namespace

std::ostream& Say(std::ostream& errors, std::string_view subject, std::string_view text) {
  return errors << kMessagePrefix << subject << ": " << text << '\n';
}

std::ostream& Say(std::ostream& errors, std::string_view text) {
  return errors << kMessagePrefix << text << '\n';
}

std::ostream& SayWriteError(std::ostream& errors, std::string_view name, std::error_code error) {
  return errors << kMessagePrefix << kWriteErrorOn << name << ": " << error.message() << '\n';
}

void AppendMessage(std::string& out, std::string_view subject, std::string_view text) {
  out.append(kMessagePrefix).append(subject).append(": ").append(text).append("\n");
}

std::string Message(std::string_view subject, std::string_view text) {
  std::string line;
  AppendMessage(line, subject, text);
  return line;
}

std::string Message(std::string_view text) {
  std::string line(kMessagePrefix);
  line.append(text).append("\n");
  return line;
}

std::string WriteErrorMessage(std::string_view name, std::error_code error) {
  return Message(std::string(kWriteErrorOn).append(name), error.message());
}

}  // namespace tarvik
