// SPDX-License-Identifier: MIT
#include "support/memory_files.h"

#include <algorithm>
#include <cstring>

namespace tarvik::testing {

std::size_t StringSource::Read(char* buffer, std::size_t size, std::error_code& /*error*/) {
  const std::size_t n = std::min(size, text_.size());
  std::memcpy(buffer, text_.data(), n);
  text_.remove_prefix(n);
  return n;
}

namespace {

// An output in memory: written into the map entry of its name.
class MemoryOutput final : public OutputFile {
 public:
  MemoryOutput(MemoryFiles& files, std::string name) : files_(files), name_(std::move(name)) {}

  std::error_code Write(std::string_view bytes) override {
    std::string& text = files_.files[name_];
    const auto room = files_.room.find(name_);
    if (room != files_.room.end()) {
      const std::size_t taken = std::min(bytes.size(), room->second);
      text.append(bytes.substr(0, taken));
      room->second -= taken;
      if (taken < bytes.size()) return std::make_error_code(std::errc::no_space_on_device);
      return {};
    }
    text.append(bytes);
    return {};
  }
  std::optional<FileId> Id() const override { return files_.IdOf(name_); }
  Lock TryLock(std::error_code& /*error*/) override {
    return files_.busy.contains(name_) ? Lock::kBusy : Lock::kTaken;
  }
  std::error_code WaitLock() override {
    files_.busy.erase(name_);
    return {};
  }
  std::error_code Truncate() override {
    files_.files[name_].clear();
    return {};
  }

 private:
  MemoryFiles& files_;
  std::string name_;
};

// A replacement in memory: its bytes take the place of the file's when committed.
class MemoryReplacement final : public ReplacementFile {
 public:
  MemoryReplacement(MemoryFiles& files, std::string name) : files_(files), name_(std::move(name)) {}

  std::error_code Write(std::string_view bytes) override {
    const auto room = files_.room.find(name_);
    if (room != files_.room.end() && bytes.size() > room->second) {
      text_.append(bytes.substr(0, room->second));
      room->second = 0;
      return std::make_error_code(std::errc::no_space_on_device);
    }
    if (room != files_.room.end()) room->second -= bytes.size();
    text_.append(bytes);
    return {};
  }
  std::error_code Commit() override {
    files_.files[name_] = std::move(text_);
    return {};
  }

 private:
  MemoryFiles& files_;
  std::string name_;
  std::string text_;
};

}  // namespace

std::unique_ptr<ReplacementFile> MemoryFiles::CreateReplacement(const std::string& name,
                                                                std::error_code& error) {
  if (const auto failure = openErrors.find(name); failure != openErrors.end()) {
    error = failure->second;
    return nullptr;
  }
  opened.insert(name);
  return std::make_unique<MemoryReplacement>(*this, name);
}

std::optional<FileId> MemoryFiles::IdOf(const std::string& name) const {
  if (const auto id = ids.find(name); id != ids.end()) return id->second;
  if (!files.contains(name)) return std::nullopt;
  // Every other file is a file of its own.
  return FileId{1, std::hash<std::string>{}(name)};
}

OpenedInput MemoryFiles::OpenInput(const std::string& name, std::error_code& error) {
  if (const auto failure = openErrors.find(name); failure != openErrors.end()) {
    error = failure->second;
    return {};
  }
  const auto file = files.find(name);
  if (file == files.end()) {
    error = std::make_error_code(std::errc::no_such_file_or_directory);
    return {};
  }
  return {std::make_unique<StringSource>(file->second), IdOf(name), file->second.size()};
}

OpenedInput MemoryFiles::StandardInput() {
  if (!standardInput) standardInput.emplace();
  return {std::make_unique<StringSource>(*standardInput), std::nullopt, std::nullopt};
}

std::unique_ptr<OutputFile> MemoryFiles::OpenOutput(const std::string& name,
                                                    std::error_code& error) {
  if (const auto failure = openErrors.find(name); failure != openErrors.end()) {
    error = failure->second;
    return nullptr;
  }
  files.try_emplace(name);
  opened.insert(name);
  return std::make_unique<MemoryOutput>(*this, name);
}

std::error_code MemoryFiles::MakeDirectory(const std::string& name) {
  if (const auto failure = openErrors.find(name); failure != openErrors.end()) {
    return failure->second;
  }
  directories.insert(name);
  return {};
}

std::error_code MemoryFiles::ChangeDirectory(const std::string& name) {
  if (!directories.contains(name))
    return std::make_error_code(std::errc::no_such_file_or_directory);
  workingDirectory = name;
  return {};
}

}  // namespace tarvik::testing
