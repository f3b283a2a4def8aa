#include "preview/NullRenderer.h"

#include <algorithm>
#include <cstdlib>

#include "preview/SourceStreamPin.h"

namespace vc::preview {

TNullRenderer::TNullRenderer(TMajorType kind, bool paced, bool keepData)
    : TBaseRenderer(kind, paced), FKeepData(keepData) {}

void TNullRenderer::OnMediaType(const TMediaType& type) {
  const TVideoInfoHeader* info = type.VideoInfo();
  if (!info) return;
  FStride = std::abs(BitmapRowBytes(info->Header));
  if (FSurfaceWidth <= info->Header.Width) return;
  // Like a renderer drawing into wider surfaces: propose the wider format to the pin and, when it
  // agrees, make the buffers large enough and announce the format on the next sample.
  TMediaType wider = type;
  TVideoInfoHeader& header = *wider.VideoInfo();
  header.Header.Width = FSurfaceWidth;
  header.Header.SizeImage = BitmapSize(header.Header);
  wider.SampleSize = header.Header.SizeImage;
  TSourceStreamPin* pin = ConnectedPin();
  if (!pin || pin->QueryAccept(wider) != TResult::S_OK) return;
  Allocator()->SetMinimumBufferSize(static_cast<int32_t>(header.Header.SizeImage));
  Allocator()->AttachMediaType(wider);
  FStride = BitmapRowBytes(header.Header);
}

void TNullRenderer::RenderSample(const TMediaSample& sample, int64_t streamTime) {
  add(sampleEntry(sample, streamTime));
}

void TNullRenderer::OnReceiveFirstSample(const TMediaSample& sample) {
  TRendererEntry entry = sampleEntry(sample, -1);
  entry.Kind = TRendererEntry::TKind::Cue;
  add(std::move(entry));
}

TRendererEntry TNullRenderer::sampleEntry(const TMediaSample& sample, int64_t streamTime) const {
  TRendererEntry entry;
  entry.Kind = TRendererEntry::TKind::Sample;
  entry.HasTime = sample.GetTime(entry.Start, entry.Stop);
  entry.HasMediaTime = sample.GetMediaTime(entry.MediaStart, entry.MediaStop);
  entry.SyncPoint = sample.IsSyncPoint();
  entry.Discontinuity = sample.IsDiscontinuity();
  entry.Length = sample.ActualDataLength();
  entry.PresentedAt = streamTime;
  entry.Stride = FStride;
  if (FKeepData) entry.Data.assign(sample.Pointer(), sample.Pointer() + std::max(entry.Length, 0));
  return entry;
}

void TNullRenderer::OnNewSegment(int64_t start, int64_t stop, double rate) {
  TRendererEntry entry;
  entry.Kind = TRendererEntry::TKind::NewSegment;
  entry.SegmentStart = start;
  entry.SegmentStop = stop;
  entry.Rate = rate;
  add(std::move(entry));
}

namespace {
TRendererEntry entryOf(TRendererEntry::TKind kind) {
  TRendererEntry entry;
  entry.Kind = kind;
  return entry;
}
}  // namespace

void TNullRenderer::OnBeginFlush() { add(entryOf(TRendererEntry::TKind::BeginFlush)); }
void TNullRenderer::OnEndFlush() { add(entryOf(TRendererEntry::TKind::EndFlush)); }
void TNullRenderer::OnEndOfStream() { add(entryOf(TRendererEntry::TKind::EndOfStream)); }

void TNullRenderer::add(TRendererEntry entry) {
  {
    std::lock_guard lock(FLogLock);
    FLog.push_back(std::move(entry));
  }
  FLogChanged.notify_all();
}

std::vector<TRendererEntry> TNullRenderer::Log() const {
  std::lock_guard lock(FLogLock);
  return FLog;
}

std::vector<TRendererEntry> TNullRenderer::Samples() const {
  std::lock_guard lock(FLogLock);
  std::vector<TRendererEntry> samples;
  for (const auto& e : FLog)
    if (e.Kind == TRendererEntry::TKind::Sample) samples.push_back(e);
  return samples;
}

size_t TNullRenderer::SampleCount() const {
  std::lock_guard lock(FLogLock);
  return std::count_if(FLog.begin(), FLog.end(), [](const auto& e) { return e.Kind == TRendererEntry::TKind::Sample; });
}

void TNullRenderer::ClearLog() {
  std::lock_guard lock(FLogLock);
  FLog.clear();
}

bool TNullRenderer::WaitFor(const std::function<bool(const std::vector<TRendererEntry>&)>& done,
                            std::chrono::milliseconds timeout) {
  std::unique_lock lock(FLogLock);
  return FLogChanged.wait_for(lock, timeout, [&] { return done(FLog); });
}

}  // namespace vc::preview
