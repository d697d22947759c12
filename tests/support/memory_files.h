// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

#include "system/files.h"
#include "system/sinks.h"
#include "system/source.h"

namespace tarvik::testing {

// Reads from memory.
class StringSource final : public Source {
 public:
  explicit StringSource(std::string_view text) : text_(text) {}
  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override;

 private:
  std::string_view text_;
};

// Collects everything in memory.
class StringSink final : public Sink {
 public:
  std::error_code Write(std::string_view bytes) override {
    text_.append(bytes);
    return {};
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// A failing sink that keeps the bytes it took before the failure.
class KeptFailingSink final : public FailingSink {
 public:
  using FailingSink::FailingSink;
  const std::string& text() const { return text_; }

 private:
  void Take(std::string_view bytes) override { text_.append(bytes); }
  std::string text_;
};

// Files in memory, for tests and fuzzing. Each file name has its contents and, optionally, an
// identity (to play links), an error on opening, or a disk that fills up after some bytes.
class MemoryFiles final : public Files {
 public:
  std::map<std::string, std::string> files;  // what each file holds; outputs end up here too
  std::map<std::string, FileId> ids;         // files that are one and the same file
  std::map<std::string, std::error_code> openErrors;
  std::map<std::string, std::size_t> room;  // bytes an output takes before the disk is full
  std::optional<std::string> standardInput;
  std::set<std::string> directories;
  std::set<std::string>
      busy;  // outputs that another run holds locked (the lock is then waited for)
  std::optional<FileId> consoleId;
  std::string workingDirectory;
  std::set<std::string> opened;  // outputs that were opened

  OpenedInput OpenInput(const std::string& name, std::error_code& error) override;
  OpenedInput StandardInput() override;
  std::unique_ptr<OutputFile> OpenOutput(const std::string& name, std::error_code& error) override;
  std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& name,
                                                     std::error_code& error) override;
  std::optional<FileId> IdOf(const std::string& name) const override;
  Entry EntryAt(const std::string& name) const override {
    if (directories.contains(name)) return {Entry::Kind::kOther, true};
    return {files.contains(name) ? Entry::Kind::kRegular : Entry::Kind::kMissing, true};
  }
  std::unique_ptr<OutputFile> OpenInPlace(const std::string& name, bool,
                                          std::error_code& error) override {
    if (directories.contains(name)) {
      error = std::make_error_code(std::errc::is_a_directory);
      return nullptr;
    }
    return OpenOutput(name, error);
  }
  std::optional<FileId> FolderIdOf(const std::string&) const override { return std::nullopt; }
  std::optional<std::uint64_t> SizeOf(const std::string& name) const override {
    const auto file = files.find(name);
    if (file == files.end()) return std::nullopt;
    return file->second.size();
  }
  std::optional<FileId> EntryIdOf(const std::string& name) const override { return IdOf(name); }
  std::error_code MakeDirectory(const std::string& name) override;
  std::error_code ChangeDirectory(const std::string& name) override;
  std::optional<FileId> ConsoleId() override { return consoleId; }
};

}  // namespace tarvik::testing
