// velocast-cli convert: composes a conversion as the wizard's finish does and runs it.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/cli/CliCommands.h"
#include "app/cli/CliQueue.h"
#include "app/cli/FilterArgs.h"
#include "app/cli/RunConversion.h"
#include "base/AppPaths.h"
#include "base/Format.h"
#include "media/DvdSources.h"
#include "media/DvdTitleUrl.h"
#include "profiles/AVProfileList.h"
#include "tasks/AVConfiguration.h"
#include "tasks/ConversionComposer.h"
#include "tasks/ConvertedNode.h"

namespace vc::cli {

namespace {

struct TConvertRequest {
  std::string Source;
  std::string Target;
  std::string Profile;
  std::string InputFormat;
  double Start = 0;   // s
  double End = 0;     // s; 0 = to the end
  int Threads = 0;    // 0 = from the configuration
  int Category = -1;  // category the result is filed under; -1 = the root, target in the output folder
  // A DVD title instead of a source file.
  std::string Dvd;    // drive mount point, VIDEO_TS folder or ISO image
  int Title = 0;
  int FirstChapter = 0;  // 0 = the title's first
  int LastChapter = 0;   // 0 = the title's last
  int Angle = 1;
  TFilterList Filters;  // video filters in the order given
};

const char* kUsage =
    "Usage: velocast-cli convert --profile NAME SOURCE [-o TARGET] [--start SEC] [--end SEC] [--threads N]\n"
    "                            [--input-format NAME] [--category ID] [video filters]\n"
    "       velocast-cli convert --profile NAME --dvd PATH --title N [--chapters A-B] [--angle K] [options]\n";

bool parseNumber(const std::string& text, double& value) {
  return base::TryParseDouble(text, value) && value >= 0;
}

// Fills request from args; false (after a message) when they do not make a request.
bool parseArgs(const TArgs& args, TConvertRequest& request) {
  for (size_t i = 0; i < args.size(); ++i) {
    switch (TakeFilterOption(args, i, request.Filters)) {
      case TFilterArg::Taken: continue;
      case TFilterArg::Invalid: return false;
      case TFilterArg::None: break;
    }
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "%s needs a value\n", a.c_str());
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string text;
    if (a == "--profile") {
      if (!value(request.Profile)) return false;
    } else if (a == "-o" || a == "--output") {
      if (!value(request.Target)) return false;
    } else if (a == "--input-format") {
      if (!value(request.InputFormat)) return false;
    } else if (a == "--start" || a == "--end") {
      if (!value(text)) return false;
      if (!parseNumber(text, a == "--start" ? request.Start : request.End)) {
        std::fprintf(stderr, "%s takes seconds, not '%s'\n", a.c_str(), text.c_str());
        return false;
      }
    } else if (a == "--threads") {
      int32_t n = 0;
      if (!value(text)) return false;
      if (!base::TryParseInt32(text, n) || n < 1 || n > 32) {
        std::fprintf(stderr, "--threads takes 1 to 32, not '%s'\n", text.c_str());
        return false;
      }
      request.Threads = n;
    } else if (a == "--dvd") {
      if (!value(request.Dvd)) return false;
    } else if (a == "--title" || a == "--angle") {
      int32_t n = 0;
      if (!value(text)) return false;
      if (!base::TryParseInt32(text, n) || n < 1) {
        std::fprintf(stderr, "%s takes a number from 1, not '%s'\n", a.c_str(), text.c_str());
        return false;
      }
      (a == "--title" ? request.Title : request.Angle) = n;
    } else if (a == "--chapters") {
      if (!value(text)) return false;
      const auto dash = text.find('-');
      int32_t first = 0;
      int32_t last = 0;
      if (!base::TryParseInt32(text.substr(0, dash), first) ||
          !base::TryParseInt32(dash == std::string::npos ? text : text.substr(dash + 1), last) || first < 1 ||
          last < first) {
        std::fprintf(stderr, "--chapters takes A-B (or A), not '%s'\n", text.c_str());
        return false;
      }
      request.FirstChapter = first;
      request.LastChapter = last;
    } else if (a == "--category") {
      int32_t id = 0;
      if (!value(text)) return false;
      if (!base::TryParseInt32(text, id) || id < 1) {
        std::fprintf(stderr, "--category takes a category number, not '%s'\n", text.c_str());
        return false;
      }
      request.Category = id;
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "unknown option %s\n", a.c_str());
      return false;
    } else if (request.Source.empty()) {
      request.Source = a;
    } else {
      std::fprintf(stderr, "only one source: '%s' is one too many\n", a.c_str());
      return false;
    }
  }
  const bool dvd = !request.Dvd.empty();
  if (request.Profile.empty() || request.Source.empty() == !dvd || (dvd && request.Title == 0)) {
    std::fputs(kUsage, stderr);
    std::fputs(kFilterUsage, stderr);
    return false;
  }
  if (request.End > 0 && request.End <= request.Start) {
    std::fprintf(stderr, "--end must lie after --start\n");
    return false;
  }
  return true;
}

size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) == std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The profile whose description (or component name) is name, ignoring case.
const profiles::TAVProfile* findProfile(const profiles::TAVProfileList& list, const std::string& name) {
  for (int i = 0; i < list.Count(); ++i) {
    const auto& p = list.Items(i);
    if (base::SameText(p.Description, name) || (!p.Name.empty() && base::SameText(p.Name, name))) return &p;
  }
  return nullptr;
}

void printCloseMatches(const profiles::TAVProfileList& list, const std::string& name) {
  std::fprintf(stderr, "No profile is named \"%s\".", name.c_str());
  const std::string wanted = base::LowerCase(name);
  std::vector<std::string> matches;
  for (int i = 0; i < list.Count(); ++i) {
    const std::string& description = list.Items(i).Description;
    const std::string lower = base::LowerCase(description);
    if (lower.find(wanted) != std::string::npos || wanted.find(lower) != std::string::npos ||
        editDistance(lower, wanted) <= 3)
      matches.push_back(description);
  }
  if (matches.empty()) {
    std::fprintf(stderr, " 'velocast-cli profiles' lists them.\n");
    return;
  }
  std::fprintf(stderr, " Close matches:\n");
  for (const auto& m : matches) std::fprintf(stderr, "  %s\n", m.c_str());
}

// The DVD fields of the settings, and the title stream the conversion will read.
bool fillDvdSource(const TConvertRequest& request, tasks::TConversionSettings& settings) {
  const auto source = media::DvdSourceFromPath(request.Dvd);
  if (!source) {
    std::fprintf(stderr, "%s holds no DVD-Video (a VIDEO_TS folder or an ISO image).\n", request.Dvd.c_str());
    return false;
  }
  std::vector<media::TDvdTitle> titles = media::ListDvdTitles(source->Path);
  const auto title = std::find_if(titles.begin(), titles.end(),
                                  [&](const media::TDvdTitle& t) { return t.Number == request.Title; });
  if (title == titles.end()) {
    std::fprintf(stderr, "Title %d is not on %s; 'velocast-cli dvd %s' lists the titles.\n", request.Title,
                 request.Dvd.c_str(), request.Dvd.c_str());
    return false;
  }
  const int chapters = static_cast<int>(title->Chapters.size());
  const int first = request.FirstChapter ? request.FirstChapter : 1;
  const int last = request.LastChapter ? request.LastChapter : chapters;
  if (last > chapters || request.Angle > std::max(1, title->AngleCount)) {
    std::fprintf(stderr, "Title %d has %d chapters and %d angles.\n", title->Number, chapters, title->AngleCount);
    return false;
  }
  settings.SourceType = tasks::TAVSourceType::stDvd;
  settings.DvdDriver = source->Path;
  settings.DvdVolume = source->Label;
  settings.DvdTitle = title->Number;
  settings.DvdChapter = first;
  settings.DvdThrough = last;
  settings.DvdAngle = request.Angle;
  settings.SourceFile = media::OpenDvdTitleUrl(source->Path, title->Number, request.Angle, first, last);
  return true;
}

}  // namespace

int cmdDvd(const TArgs& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "Usage: velocast-cli dvd PATH   (a drive's mount point, a VIDEO_TS folder or an ISO image)\n");
    return 2;
  }
  const auto source = media::DvdSourceFromPath(args[0]);
  if (!source) {
    std::fprintf(stderr, "%s holds no DVD-Video (a VIDEO_TS folder or an ISO image).\n", args[0].c_str());
    return 1;
  }
  std::printf("%s\n", media::DvdSourceCaption(*source).c_str());
  for (const auto& title : media::ListDvdTitles(source->Path))
    std::printf("%s\tchapters %zu\tangles %d\n", media::DvdTitleCaption(title).c_str(), title.Chapters.size(),
                title.AngleCount);
  return 0;
}

int cmdConvert(const TArgs& args) {
  TConvertRequest request;
  if (!parseArgs(args, request)) return 2;

  profiles::TAVProfileList list;
  LoadProfileList(list);
  const profiles::TAVProfile* profile = findProfile(list, request.Profile);
  if (!profile) {
    printCloseMatches(list, request.Profile);
    return 2;
  }

  // The queue and its history when the task database is there; otherwise the conversion runs
  // alone and says so.
  std::unique_ptr<TCliQueue> queue;
  try {
    queue = std::make_unique<TCliQueue>();
  } catch (const tasks::EDatabaseError& e) {
    if (request.Category > 0) {
      std::fprintf(stderr, "%s: --category needs the task database. %s\n", e.what(),
                   tasks::TTaskDatabase::CreateHint().c_str());
      return 1;
    }
    std::fprintf(stderr, "Warning: %s. The conversion runs, but its history is not kept. %s\n", e.what(),
                 tasks::TTaskDatabase::CreateHint().c_str());
  }

  // The target folder: the chosen category's, or the configured output folder as the wizard has it.
  std::string folder = tasks::Configuration().OutputFolder;
  if (request.Category > 0) {
    const tasks::TConvertedNode* category = queue->Category(request.Category);
    if (!category) {
      std::fprintf(stderr, "There is no category %d; 'velocast-cli categories' lists them.\n", request.Category);
      return 1;
    }
    folder = category->Folder;
  }

  auto settings = std::make_unique<tasks::TConversionSettings>();
  settings->Profile = profile->Description;
  settings->CategoryId = request.Category > 0 ? request.Category : 0;
  std::string proposedName = request.Source;
  if (request.Dvd.empty()) {
    settings->SourceFile = request.Source;
    settings->SourceType = tasks::TAVSourceType::stFile;
  } else if (!fillDvdSource(request, *settings)) {
    return 1;
  } else {
    // "%s_%d" of the volume name and the title, as the wizard names a title's target.
    proposedName = base::Format("%s_%d", settings->DvdVolume.c_str(), settings->DvdTitle);
  }
  if (request.Target.empty()) {
    settings->TargetFile = tasks::MoveToFolder(folder, tasks::ReplaceExtension(proposedName, profile->Extension()));
    if (!base::ForceDirectories(folder)) {
      std::fprintf(stderr, "Cannot create the folder %s\n", folder.c_str());
      return 1;
    }
  } else {
    settings->TargetFile = request.Target;
  }

  auto& options = settings->ConvertOptions;
  options.RecordingTime = INT64_MAX;
  // As the wizard finishes on its filter page: the filters first, then the profile.
  options.FilterOptions.VideoFilters = profiles::VideoFiltersText(request.Filters);
  tasks::ApplyProfile(options, *profile);
  if (request.Threads > 0) options.ThreadCount = request.Threads;
  if (!request.InputFormat.empty()) options.InputFormat = request.InputFormat;
  tasks::ApplyTimeRange(options, request.Start, request.End);

  const std::string target = settings->TargetFile;
  std::printf("Converting %s to %s with \"%s\"\n", settings->SourceFile.c_str(), target.c_str(),
              settings->Profile.c_str());
  std::fflush(stdout);
  const int status = queue ? queue->Convert(std::move(settings)) : RunConversion(*settings);
  if (status == 0) std::printf("Written %s\n", target.c_str());
  return status;
}

}  // namespace vc::cli
