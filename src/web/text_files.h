// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "system/files.h"
#include "system/sinks.h"
#include "system/source.h"

namespace tarvik::web {

// Reads from a text in memory.
class TextSource final : public Source {
 public:
  explicit TextSource(std::string_view text) : text_(text) {}
  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override;

 private:
  std::string_view text_;
};

// Keeps everything written to it.
class TextSink final : public Sink {
 public:
  std::error_code Write(std::string_view bytes) override {
    text_.append(bytes);
    return {};
  }
  std::string& text() { return text_; }

 private:
  std::string text_;
};

// A working directory holding only Sudin.txt, with `text` in it; nothing else can be opened.
class InputOnlyFiles final : public Files {
 public:
  explicit InputOnlyFiles(std::string_view text) : text_(text) {}

  OpenedInput OpenInput(const std::string& name, std::error_code& error) override;
  OpenedInput StandardInput() override;
  std::unique_ptr<OutputFile> OpenOutput(const std::string& name, std::error_code& error) override;
  std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& name,
                                                     std::error_code& error) override;
  std::optional<FileId> IdOf(const std::string& name) const override;
  Entry EntryAt(const std::string& name) const override;
  std::unique_ptr<OutputFile> OpenInPlace(const std::string& name, bool follow,
                                          std::error_code& error) override;
  std::optional<FileId> FolderIdOf(const std::string& /*name*/) const override {
    return std::nullopt;
  }
  std::optional<std::uint64_t> SizeOf(const std::string& name) const override;
  std::optional<FileId> EntryIdOf(const std::string& name) const override { return IdOf(name); }
  std::error_code MakeDirectory(const std::string& name) override;
  std::error_code ChangeDirectory(const std::string& name) override;
  std::optional<FileId> ConsoleId() override { return std::nullopt; }

 private:
  std::string_view text_;
};

}  // namespace tarvik::web
