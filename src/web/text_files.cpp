// SPDX-License-Identifier: MIT
#include "web/text_files.h"

#include <algorithm>
#include <cstring>

namespace tarvik::web {
namespace {

constexpr std::string_view kInputName = "Sudin.txt";
constexpr FileId kInputId{1, 1};

std::error_code NotHere() { return std::make_error_code(std::errc::operation_not_supported); }

}  // namespace

std::size_t TextSource::Read(char* buffer, std::size_t size, std::error_code& /*error*/) {
  const std::size_t n = std::min(size, text_.size());
  std::memcpy(buffer, text_.data(), n);
  text_.remove_prefix(n);
  return n;
}

OpenedInput InputOnlyFiles::OpenInput(const std::string& name, std::error_code& error) {
  if (name != kInputName) {
    error = std::make_error_code(std::errc::no_such_file_or_directory);
    return {};
  }
  return {std::make_unique<TextSource>(text_), kInputId, text_.size()};
}

OpenedInput InputOnlyFiles::StandardInput() {
  return {std::make_unique<TextSource>(std::string_view()), std::nullopt, std::nullopt};
}

std::unique_ptr<OutputFile> InputOnlyFiles::OpenOutput(const std::string& /*name*/,
                                                       std::error_code& error) {
  error = NotHere();
  return nullptr;
}

std::unique_ptr<ReplacementFile> InputOnlyFiles::CreateReplacement(const std::string& /*name*/,
                                                                   std::error_code& error) {
  error = NotHere();
  return nullptr;
}

std::unique_ptr<OutputFile> InputOnlyFiles::OpenInPlace(const std::string& /*name*/,
                                                        bool /*follow*/, std::error_code& error) {
  error = NotHere();
  return nullptr;
}

Entry InputOnlyFiles::EntryAt(const std::string& name) const {
  Entry entry;
  if (name == kInputName) entry.kind = Entry::Kind::kRegular;
  return entry;
}

std::optional<FileId> InputOnlyFiles::IdOf(const std::string& name) const {
  if (name != kInputName) return std::nullopt;
  return kInputId;
}

std::optional<std::uint64_t> InputOnlyFiles::SizeOf(const std::string& name) const {
  if (name != kInputName) return std::nullopt;
  return text_.size();
}

std::error_code InputOnlyFiles::MakeDirectory(const std::string& /*name*/) { return NotHere(); }
std::error_code InputOnlyFiles::ChangeDirectory(const std::string& /*name*/) { return NotHere(); }

}  // namespace tarvik::web
