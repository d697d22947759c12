// SPDX-License-Identifier: MIT
#include "batch/overview_pages.h"

#include <string_view>
#include <utility>

#include "batch/parameter_sets.h"
#include "system/diagnostics.h"
#include "system/quoting.h"
#include "view/overview_page.h"

namespace tarvik::batch {

static_assert(kMaxParameterSets <= view::SweepTally::kMaxSets, "a sweep's tally holds every set");

OverviewPages::OverviewPages(const BatchOptions& options, Files& files,
                             const std::vector<std::string>& sources,
                             const std::vector<std::string>& names)
    : options_(options), files_(files), sources_(sources), names_(names) {}

namespace {

// How the --overview FILE is written, decided by what stands at its name, so that no one else's
// link or FIFO takes the page where the user did not send it.
struct Way {
  enum class How { kReplace, kInPlace, kFifo } how = How::kReplace;
  bool follow = false;         // through a link at the name
  std::string_view refusal{};  // why it is not written at all
};

Way WayFor(const Entry& entry) {
  using Kind = Entry::Kind;
  using How = Way::How;
  constexpr std::string_view kOthersFifo = "is a FIFO owned by another user";
  switch (entry.kind) {
    case Kind::kLink:
      // One's own link, or the system's (/dev/stderr, /dev/fd/N): the page goes where it leads.
      if (!entry.trusted) break;
      if (entry.target != Kind::kFifo) return {How::kInPlace, true};
      if (!entry.targetTrusted) return {How::kReplace, true, kOthersFifo};
      return {How::kFifo, true};
    case Kind::kFifo:
      if (!entry.trusted) return {How::kReplace, false, kOthersFifo};
      return {How::kFifo, false};
    case Kind::kDevice:
    case Kind::kOther:  // a folder or a socket: opening it says why it cannot be written
      return {How::kInPlace, false};
    case Kind::kMissing:
    case Kind::kRegular: break;
  }
  if (entry.system) return {How::kReplace, false, "is in /dev or /proc, where no file is replaced"};
  return {};
}

// The name's folder, as given.
std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? "." : name.substr(0, slash + 1);
}

}  // namespace

std::optional<Failure> OverviewPages::Open(const std::vector<TakenFile>& taken) {
  if ((options_.overview || options_.viewsDir) && options_.lists.Count() > 1) {
    sweep_.emplace(options_.lists, options_);
  } else if (options_.overview || options_.viewsDir) {
    tally_.emplace(options_);
  }
  if (options_.viewsDir) {
    // An input or standard output is never replaced by DIR/index.html.
    const std::string index = *options_.viewsDir + "/index.html";
    if (const std::optional<std::string> same = SameFileAs(files_.EntryIdOf(index), taken)) {
      return Failure{ExitStatus::kCantCreate, Message(Named(index), *same)};
    }
  }
  return OpenOverview(taken);
}

std::optional<Failure> OverviewPages::OpenOverview(const std::vector<TakenFile>& taken) {
  if (!options_.overview) return std::nullopt;
  const std::string& name = *options_.overview;
  const auto refuse = [&](std::string_view reason) {
    return Failure{ExitStatus::kCantCreate, Message(Named(name), reason)};
  };
  // A file that the batch writes besides, in a folder named otherwise (a link to it, say).
  const std::string base = name.substr(name.rfind('/') + 1);
  const std::optional<FileId> folder = files_.FolderIdOf(FolderOf(name));
  for (const auto& [dir, page] :
       {std::pair{options_.viewsDir, true}, {options_.reportsDir, false}}) {
    if (folder && dir && files_.FolderIdOf(*dir) == folder &&
        WritesFileNamed(options_, base, page)) {
      return refuse("is the same file as " + Named(*dir + "/" + base));
    }
  }
  const Way way = WayFor(files_.EntryAt(name));
  if (!way.refusal.empty()) return refuse(way.refusal);
  std::error_code error;
  std::optional<FileId> id;
  switch (way.how) {
    case Way::How::kReplace: id = files_.EntryIdOf(name); break;
    case Way::How::kInPlace:
      if ((inPlace_ = files_.OpenInPlace(name, way.follow, error))) id = inPlace_->Id();
      break;
    case Way::How::kFifo:
      fifo_ = way.follow;  // opened when the page is written, so that no reader holds the batch
      break;
  }
  if (error) return refuse(error.message());
  std::vector<TakenFile> others = taken;
  if (options_.viewsDir) {
    const std::string index = *options_.viewsDir + "/index.html";
    others.push_back({Named(index), files_.EntryIdOf(index)});
  }
  if (const std::optional<std::string> same = SameFileAs(id, others)) return refuse(*same);
  if (way.how == Way::How::kReplace) replacement_ = files_.CreateReplacement(name, error);
  if (error) return refuse(error.message());
  return std::nullopt;
}

void OverviewPages::Tell(const Job& job) {
  if (sweep_) {
    TellSweep(job);
    return;
  }
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

void OverviewPages::TellSweep(const Job& job) {
  const view::RowPlace place{job.operand, sources_[job.operand], job.line.line};
  if (job.operandEnd) {
    sweep_->FileDone(job.operand, sources_[job.operand], *job.operandEnd);
  } else if (job.notice) {
    if (job.notRead) sweep_->FileNotRead(job.operand, sources_[job.operand], job.reason);
  } else if (job.line.refusal || job.sets.empty()) {
    // A line with no set's result is counted as refused, as the summary counts it.
    sweep_->AddRefused(place, job.line.refusal ? std::string_view(*job.line.refusal) : "");
  } else {
    // Set K's page is NAME-LINE-K.html.
    pageName_.clear();
    if (options_.viewsDir) {
      pageName_.append(names_[job.operand]).append("-").append(std::to_string(job.line.line));
    }
    runs_.clear();
    for (const Job::SetResult& set : job.sets) runs_.push_back({set.run, set.answer});
    sweep_->AddLine(place, std::string_view(job.line.digits.data(), job.line.digits.size()),
                    job.solutions, pageName_, runs_);
  }
}

std::optional<Failure> OverviewPages::Write(std::span<const LineCounts> setFiles) {
  if (!tally_ && !sweep_) return std::nullopt;
  std::optional<view::BatchTally> best;
  if (sweep_) {
    const std::size_t sets = sweep_->sets();
    const std::size_t set = sweep_->BestOrder().front();
    std::vector<LineCounts> files;
    for (std::size_t at = set; at < setFiles.size(); at += sets) files.push_back(setFiles[at]);
    best.emplace(sweep_->TallyOf(set, files));
  }
  const auto render = [&](std::optional<std::string_view> base) {
    return sweep_ ? view::RenderOverview(*sweep_, *best, base)
                  : view::RenderOverview(*tally_, base);
  };
  std::error_code error;
  if (options_.overview) {
    const std::optional<std::string> base =
        options_.viewsDir ? view::LinkBase(*options_.overview, *options_.viewsDir) : std::nullopt;
    const std::string page = render(base ? std::optional<std::string_view>(*base) : std::nullopt);
    if (fifo_ && !(inPlace_ = files_.OpenInPlace(*options_.overview, *fifo_, error))) {
      const bool noReader = error == std::errc::no_such_device_or_address;
      return Failure{ExitStatus::kCantCreate,
                     Message(Named(*options_.overview),
                             noReader ? "no process reads this FIFO" : error.message())};
    }
    Sink& file = replacement_ ? static_cast<Sink&>(*replacement_) : static_cast<Sink&>(*inPlace_);
    // A regular file reached through a link is emptied only now that its page is whole.
    if (inPlace_) error = inPlace_->Truncate();
    if (!error) error = file.Write(page);
    if (!error) error = replacement_ ? replacement_->Commit() : file.Close();
    if (error)
      return Failure{ExitStatus::kIoError, WriteErrorMessage(Named(*options_.overview), error)};
  }
  if (!options_.viewsDir) return std::nullopt;
  const std::string name = *options_.viewsDir + "/index.html";
  const std::unique_ptr<ReplacementFile> index = files_.CreateReplacement(name, error);
  if (!index) return Failure{ExitStatus::kCantCreate, Message(Named(name), error.message())};
  if ((error = index->Write(render(std::string_view()))) || (error = index->Commit())) {
    return Failure{ExitStatus::kIoError, WriteErrorMessage(Named(name), error)};
  }
  return std::nullopt;
}

}  // namespace tarvik::batch
