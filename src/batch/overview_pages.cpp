// SPDX-License-Identifier: MIT
#include "batch/overview_pages.h"

#include <string_view>

#include "system/diagnostics.h"
#include "system/quoting.h"
#include "view/overview_page.h"

namespace tarvik::batch {

OverviewPages::OverviewPages(const BatchOptions& options, Files& files,
                             const std::vector<std::string>& sources,
                             const std::vector<std::string>& names)
    : options_(options), files_(files), sources_(sources), names_(names) {}

std::optional<Failure> OverviewPages::Open(const std::vector<TakenFile>& taken) {
  if (options_.overview || options_.viewsDir) {
    tally_.emplace(options_);
  }
  if (!options_.overview) return std::nullopt;
  const std::string& name = *options_.overview;
  const auto refuse = [&](std::string_view reason) {
    return Failure{ExitStatus::kCantCreate, Message(Named(name), reason)};
  };
  // An input or standard output is never replaced; the same file read as an input, neither.
  if (const std::optional<FileId> id = files_.IdOf(name)) {
    for (const TakenFile& file : taken) {
      if (file.id == *id) return refuse("is the same file as " + file.what);
    }
  }
  std::error_code error;
  if (files_.IsSpecial(name)) {
    inPlace_ = files_.OpenOutput(name, error);
  } else {
    replacement_ = files_.CreateReplacement(name, error);
  }
  if (error) return refuse(error.message());
  return std::nullopt;
}

void OverviewPages::Tell(const Job& job) {
  if (!tally_) return;
  if (job.operandEnd) {
    tally_->FileDone(job.operand, sources_[job.operand], *job.operandEnd);
  } else if (job.notice) {
    if (job.notRead) tally_->FileNotRead(job.operand, sources_[job.operand], job.reason);
  } else {
    TellRow(job);
  }
}

void OverviewPages::TellRow(const Job& job) {
  const view::RowPlace place{job.operand, sources_[job.operand], job.line.line};
  if (job.line.refusal) {
    tally_->AddRefused(place, *job.line.refusal);
    return;
  }
  pageName_.clear();
  if (options_.viewsDir) {
    pageName_.append(names_[job.operand]).append("-").append(std::to_string(job.line.line));
    pageName_.append(".html");
  }
  tally_->AddGraded({place, std::string_view(job.line.digits.data(), job.line.digits.size()),
                     job.run, job.solutions, pageName_, job.answer});
}

std::optional<Failure> OverviewPages::Write() {
  if (!tally_) return std::nullopt;
  std::error_code error;
  if (options_.overview) {
    const std::optional<std::string> base =
        options_.viewsDir ? view::LinkBase(*options_.overview, *options_.viewsDir) : std::nullopt;
    const std::string page =
        view::RenderOverview(*tally_, base ? std::optional<std::string_view>(*base) : std::nullopt);
    Sink& file = replacement_ ? static_cast<Sink&>(*replacement_) : static_cast<Sink&>(*inPlace_);
    error = file.Write(page);
    if (!error) error = replacement_ ? replacement_->Commit() : file.Close();
    if (error)
      return Failure{ExitStatus::kIoError, WriteErrorMessage(Named(*options_.overview), error)};
  }
  if (!options_.viewsDir) return std::nullopt;
  const std::string name = *options_.viewsDir + "/index.html";
  const std::unique_ptr<ReplacementFile> index = files_.CreateReplacement(name, error);
  if (!index) return Failure{ExitStatus::kCantCreate, Message(Named(name), error.message())};
  if ((error = index->Write(view::RenderOverview(*tally_, std::string_view()))) ||
      (error = index->Commit())) {
    return Failure{ExitStatus::kIoError, WriteErrorMessage(Named(name), error)};
  }
  return std::nullopt;
}

}  // namespace tarvik::batch
