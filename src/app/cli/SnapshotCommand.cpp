// velocast-cli snapshot: pictures of a source as the preview shows them, written as PNG files.
#include <cstdio>

#include "app/cli/CliCommands.h"
#include "base/Format.h"
#include "media/PngFile.h"
#include "preview/PictureGrab.h"

namespace vc::cli {

namespace {
const char* kSnapshotUsage =
    "Usage: velocast-cli snapshot SOURCE --at SEC [-o FILE.png] [--filters TEXT] [--frames N]\n";

// FILE.png for one picture; FILE-1.png, FILE-2.png, ... for several.
std::string pictureName(const std::string& target, int index, int count) {
  if (count == 1) return target;
  const auto dot = target.find_last_of('.');
  const auto slash = target.find_last_of('/');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExtension ? target.substr(0, dot) : target;
  return base::Format("%s-%d%s", stem.c_str(), index + 1, hasExtension ? target.substr(dot).c_str() : ".png");
}
}  // namespace

int cmdSnapshot(const TArgs& args) {
  preview::TGrabRequest request;
  std::string target = "snapshot.png";
  bool haveAt = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--at" && hasValue) {
      if (!base::TryParseDouble(args[++i], request.At) || request.At < 0) {
        std::fprintf(stderr, "--at takes seconds, not '%s'\n", args[i].c_str());
        return 2;
      }
      haveAt = true;
    } else if ((a == "-o" || a == "--output") && hasValue) {
      target = args[++i];
    } else if (a == "--filters" && hasValue) {
      request.VideoFilters = args[++i];
    } else if (a == "--frames" && hasValue) {
      if (!base::TryParseInt32(args[++i], request.Count) || request.Count < 1) {
        std::fprintf(stderr, "--frames takes a count from 1, not '%s'\n", args[i].c_str());
        return 2;
      }
    } else if (!a.empty() && a[0] != '-' && request.Source.empty()) {
      request.Source = a;
    } else {
      std::fputs(kSnapshotUsage, stderr);
      return 2;
    }
  }
  if (request.Source.empty() || !haveAt) {
    std::fputs(kSnapshotUsage, stderr);
    return 2;
  }
  const auto pictures = preview::GrabPictures(request);
  if (pictures.empty()) {
    std::fprintf(stderr, "%s has no picture at or after %.3f s\n", request.Source.c_str(), request.At);
    return 1;
  }
  for (size_t i = 0; i < pictures.size(); ++i) {
    const auto& p = pictures[i];
    const std::string name = pictureName(target, static_cast<int>(i), request.Count);
    media::WriteBgraPng(name, p.Pixels.data(), p.Width, p.Height);
    std::printf("%s\t%.3f\t%dx%d\n", name.c_str(), p.Time, p.Width, p.Height);
  }
  return 0;
}

}  // namespace vc::cli
