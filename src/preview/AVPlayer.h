#pragma once
// The player component: creates a decoding source for each file it opens, hands it the filter
// text, audio switch, callbacks and loop count, and puts it into its media graph when the graph
// becomes active (rendering the video pin, then the audio pin).
#include <cstdint>
#include <memory>
#include <string>

#include "preview/AVConfig.h"
#include "preview/MediaGraph.h"

namespace vc::preview {

class TFFPushSource;

class TAVPlayer final : public IGraphMember {
 public:
  TAVPlayer();
  ~TAVPlayer() override;  // leaves its graph
  TAVPlayer(const TAVPlayer&) = delete;
  TAVPlayer& operator=(const TAVPlayer&) = delete;

  // Creates a new source for value (a file name or a "stream:" URL) and loads it; true when the
  // load succeeded. Throws EVelocastError for a loop count below 1 and for filter graph errors.
  bool OpenFile(const std::string& value);

  TMediaGraph* FilterGraph() const { return FFilterGraph; }
  void SetFilterGraph(TMediaGraph* graph);

  const std::string& VideoFilters() const { return FVideoFilters; }
  void SetVideoFilters(const std::string& text);
  bool DisableAudio() const { return FDisableAudio; }
  void SetDisableAudio(bool disable);
  void SetOnBuffer(TFFOnBufferEvent handler) { FOnBuffer = std::move(handler); }
  void SetOnAudioBuffer(TFFOnAudioBufferEvent handler) { FOnAudioBuffer = std::move(handler); }
  int32_t LoopCount() const { return FLoopCount; }
  void SetLoopCount(int32_t count) { FLoopCount = count; }  // used at the next OpenFile
  int32_t AudioIndex() const { return FAudioIndex; }
  void SetAudioIndex(int32_t index);
  int32_t VideoIndex() const { return FVideoIndex; }
  void SetVideoIndex(int32_t index);
  int32_t SubtitleIndex() const { return FSubtitleIndex; }
  void SetSubtitleIndex(int32_t index);
  const std::string& FileName() const { return FFileName; }

  // Read from the current source (0 / false without one).
  int32_t VideoWidth() const;
  int32_t VideoHeight() const;
  int32_t VideoStreamCount() const;
  int32_t AudioStreamCount() const;
  int32_t SubtitleStreamCount() const;
  bool HasVideo() const;
  bool HasAudio() const;
  bool HasSubtitle() const;

  // The source of the last OpenFile, through which its interfaces are reached.
  std::shared_ptr<TFFPushSource> Source() const { return FFilter; }

  // IGraphMember
  void GraphAdded(TMediaGraph& graph) override;
  void GraphRemoving(TMediaGraph& graph) override;
  void GraphRemoved(TMediaGraph& graph) override;
  void GraphRefresh(TMediaGraph& graph) override;
  void GraphDestroyed(TMediaGraph& graph) override;

 private:
  TMediaGraph* FFilterGraph = nullptr;
  std::shared_ptr<TFFPushSource> FFilter;
  std::string FFileName;
  std::string FVideoFilters;
  bool FDisableAudio = false;
  TFFOnBufferEvent FOnBuffer;
  TFFOnAudioBufferEvent FOnAudioBuffer;
  int32_t FLoopCount = 1;
  int32_t FAudioIndex = 0;
  int32_t FVideoIndex = 0;
  int32_t FSubtitleIndex = 0;
};

}  // namespace vc::preview
