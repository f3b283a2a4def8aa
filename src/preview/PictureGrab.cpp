#include "preview/PictureGrab.h"

#include <cmath>
#include <memory>

#include "base/Errors.h"
#include "base/Format.h"
#include "preview/AVPlayer.h"
#include "preview/FFPushSource.h"
#include "preview/NullRenderer.h"

namespace vc::preview {

namespace {

struct TCollector {
  explicit TCollector(int32_t count) : Count(count) {}
  const int32_t Count;
  int64_t SegmentStart = 0;  // 100 ns
  std::vector<const TRendererEntry*> Pictures;
  bool Ended = false;

  // Pictures of the segment that starts at the wanted time, from their start at or after it.
  void Collect(const std::vector<TRendererEntry>& log) {
    Pictures.clear();
    Ended = false;
    for (const TRendererEntry& entry : log) {
      if (entry.Kind == TRendererEntry::TKind::NewSegment) {
        SegmentStart = entry.SegmentStart;
        Pictures.clear();
      } else if (entry.Kind == TRendererEntry::TKind::EndOfStream) {
        Ended = true;
      } else if (entry.Kind == TRendererEntry::TKind::Sample && entry.HasTime && entry.Start >= 0 &&
                 static_cast<int32_t>(Pictures.size()) < Count) {
        Pictures.push_back(&entry);
      }
    }
  }
  bool Done() const { return Ended || static_cast<int32_t>(Pictures.size()) >= Count; }
};

}  // namespace

std::vector<TGrabbedPicture> GrabPictures(const TGrabRequest& request) {
  auto video = std::make_shared<TNullRenderer>(TMajorType::Video, false, true);
  auto sound = std::make_shared<TNullRenderer>(TMajorType::Audio, false);
  TMediaGraph graph;
  graph.SetVideoRenderer(video);
  graph.SetSoundRenderer(sound);
  TAVPlayer player;
  player.SetFilterGraph(&graph);
  player.SetVideoFilters(request.VideoFilters);
  if (!player.OpenFile(request.Source))
    throw base::EVelocastError(base::Format("can not open the file %s!", request.Source.c_str()));
  if (!player.HasVideo()) throw base::EVelocastError("The source has no video");
  graph.SetActive(true);

  int64_t at = std::llround(std::max(request.At, 0.0) * 10'000'000);
  graph.SetPositions(&at, 1 /* absolute */, nullptr, 0);
  video->ClearLog();
  graph.Pause();

  TCollector collector(request.Count);
  video->WaitFor(
      [&](const std::vector<TRendererEntry>& log) {
        TCollector probe(request.Count);
        probe.Collect(log);
        return probe.Done();
      },
      request.Timeout);
  graph.Stop();
  const std::vector<TRendererEntry> log = video->Log();
  collector.Collect(log);
  if (collector.Pictures.empty() && !collector.Ended)
    throw base::EVelocastError("The source delivered no picture in time");

  const int32_t width = player.VideoWidth();
  const int32_t height = player.VideoHeight();
  std::vector<TGrabbedPicture> pictures;
  for (const TRendererEntry* entry : collector.Pictures) {
    TGrabbedPicture picture;
    picture.Time = static_cast<double>(collector.SegmentStart + entry->Start) / 10'000'000;
    picture.Width = width;
    picture.Height = height;
    picture.Pixels = entry->Data;
    picture.Pixels.resize(static_cast<size_t>(width) * height * 4);
    pictures.push_back(std::move(picture));
  }
  graph.SetActive(false);
  return pictures;
}

}  // namespace vc::preview
