#include "preview/AVPlayer.h"

#include <algorithm>
#include <cctype>

#include "base/Errors.h"
#include "base/Format.h"
#include "preview/FFPushSource.h"

namespace vc::preview {

namespace {

std::string trimmed(const std::string& text) {
  const auto first = std::find_if_not(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); });
  const auto last = std::find_if_not(text.rbegin(), text.rend(), [](unsigned char c) { return std::isspace(c); }).base();
  return first < last ? std::string(first, last) : std::string();
}

void raise(TResult result) {
  throw base::EVelocastError(base::Format("Can not render the source: %s", ResultName(result)));
}

}  // namespace

TAVPlayer::TAVPlayer() = default;

TAVPlayer::~TAVPlayer() { SetFilterGraph(nullptr); }

void TAVPlayer::SetFilterGraph(TMediaGraph* graph) {
  if (graph == FFilterGraph) return;
  if (FFilterGraph) FFilterGraph->Unregister(this);
  FFilterGraph = graph;
  if (FFilterGraph) FFilterGraph->Register(this);
}

bool TAVPlayer::OpenFile(const std::string& value) {
  FFilter = std::make_shared<TFFPushSource>(FFPushSourceName);
  IAVConfig& config = FFilter->Config();
  config.SetVideoFilters(FVideoFilters);
  config.SetDisableAudio(FDisableAudio);
  config.SetOnBuffer(FOnBuffer);
  config.SetOnAudioBuffer(FOnAudioBuffer);
  config.SetLoopCount(FLoopCount);
  if (FFilter->Load(value.c_str(), nullptr) != TResult::S_OK) return false;
  FFileName = value;
  return true;
}

void TAVPlayer::SetVideoFilters(const std::string& text) {
  if (base::SameText(trimmed(text), trimmed(FVideoFilters))) return;
  FVideoFilters = text;
  if (FFilter) FFilter->Config().SetVideoFilters(text);
}

void TAVPlayer::SetDisableAudio(bool disable) {
  FDisableAudio = disable;
  if (FFilter) FFilter->Config().SetDisableAudio(disable);
}

void TAVPlayer::SetAudioIndex(int32_t index) {
  FAudioIndex = index;
  if (FFilter) FFilter->Config().SetAudioIndex(index);
}

void TAVPlayer::SetVideoIndex(int32_t index) {
  FVideoIndex = index;
  if (FFilter) FFilter->Config().SetVideoIndex(index);
}

void TAVPlayer::SetSubtitleIndex(int32_t index) {
  FSubtitleIndex = index;
  if (FFilter) FFilter->Config().SetSubtitleIndex(index);
}

int32_t TAVPlayer::VideoWidth() const { return FFilter ? FFilter->GetVideoWidth() : 0; }
int32_t TAVPlayer::VideoHeight() const { return FFilter ? FFilter->GetVideoHeight() : 0; }
int32_t TAVPlayer::VideoStreamCount() const { return FFilter ? FFilter->GetVideoStreamCount() : 0; }
int32_t TAVPlayer::AudioStreamCount() const { return FFilter ? FFilter->GetAudioStreamCount() : 0; }
int32_t TAVPlayer::SubtitleStreamCount() const { return FFilter ? FFilter->GetSubtitleStreamCount() : 0; }
bool TAVPlayer::HasVideo() const { return FFilter && FFilter->HasVideo(); }
bool TAVPlayer::HasAudio() const { return FFilter && FFilter->HasAudio(); }
bool TAVPlayer::HasSubtitle() const { return FFilter && FFilter->HasSubtitle(); }

void TAVPlayer::GraphAdded(TMediaGraph& graph) {
  if (!FFilter) return;
  TResult r = graph.AddFilter(FFilter);
  if (Failed(r)) raise(r);
  if (FFilter->HasVideo()) {
    r = graph.Render(FFilter->VideoPin());
    if (Failed(r)) raise(r);
  }
  if (FFilter->HasAudio()) {
    r = graph.Render(FFilter->AudioPin());
    if (Failed(r)) raise(r);
  }
}

void TAVPlayer::GraphRemoving(TMediaGraph& /*graph*/) {
  if (FFilter && FFilter->State() != TFilterState::Stopped) FFilter->Stop();
}

void TAVPlayer::GraphRemoved(TMediaGraph& /*graph*/) { FFilter.reset(); }

void TAVPlayer::GraphRefresh(TMediaGraph& graph) {
  graph.Unregister(this);
  graph.Register(this);
}

void TAVPlayer::GraphDestroyed(TMediaGraph& graph) {
  if (FFilterGraph == &graph) FFilterGraph = nullptr;
}

}  // namespace vc::preview
