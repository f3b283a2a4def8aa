#pragma once
// Clips: a description of their pictures and frames on request, shared by count. The library's
// own clips derive from AVS_Clip; the caller's come through avs_new_c_filter.
#include <string>

#include "scriptclip/Frame.h"
#include "scriptclip/ScriptClipApi.h"

struct AVS_Clip {
  AVS_Clip() = default;
  AVS_Clip(const AVS_Clip&) = delete;
  AVS_Clip& operator=(const AVS_Clip&) = delete;
  virtual ~AVS_Clip() = default;

  virtual const AVS_VideoInfo& Info() const = 0;
  // A new frame for the caller, or nullptr after setting Error. Does not throw.
  virtual AVS_VideoFrame* GetFrame(int n) = 0;

  long Refs = 1;
  std::string Error;
};

namespace vc::scriptclip {

void AddClipRef(AVS_Clip* clip);
void ReleaseClip(AVS_Clip* clip);

// Holds one reference.
class TClipRef final {
 public:
  TClipRef() = default;
  static TClipRef Adopt(AVS_Clip* clip) { return TClipRef(clip); }
  static TClipRef Share(AVS_Clip* clip) {
    AddClipRef(clip);
    return TClipRef(clip);
  }
  TClipRef(const TClipRef& other) : FClip(other.FClip) { AddClipRef(FClip); }
  TClipRef(TClipRef&& other) noexcept : FClip(other.FClip) { other.FClip = nullptr; }
  TClipRef& operator=(TClipRef other) noexcept {
    std::swap(FClip, other.FClip);
    return *this;
  }
  ~TClipRef() { ReleaseClip(FClip); }
  AVS_Clip* Get() const { return FClip; }
  AVS_Clip* operator->() const { return FClip; }
  explicit operator bool() const { return FClip != nullptr; }
  AVS_Clip* Release() {
    AVS_Clip* clip = FClip;
    FClip = nullptr;
    return clip;
  }

 private:
  explicit TClipRef(AVS_Clip* clip) : FClip(clip) {}
  AVS_Clip* FClip = nullptr;
};

// A clip of the caller's: frames come from its get_frame callback.
class TCallerClip final : public AVS_Clip {
 public:
  TCallerClip(AVS_ScriptEnvironment* env, TClipRef child);
  ~TCallerClip() override;
  const AVS_VideoInfo& Info() const override { return FInfo.vi; }
  AVS_VideoFrame* GetFrame(int n) override;
  AVS_FilterInfo* FilterInfo() { return &FInfo; }

 private:
  TClipRef FChild;
  AVS_FilterInfo FInfo{};
};

// A clip whose every frame is its child's frame with one picture operation applied; size and
// colour format stay the child's.
class TPictureFilter : public AVS_Clip {
 public:
  // Throws TScriptError when the child's frames are not planar 4:2:0.
  TPictureFilter(TClipRef child, const char* name);
  const AVS_VideoInfo& Info() const override { return FChild->Info(); }
  AVS_VideoFrame* GetFrame(int n) override;

 protected:
  virtual void Apply(const AVS_VideoFrame& source, AVS_VideoFrame& target) const = 0;

 private:
  TClipRef FChild;
  std::string FName;
};

}  // namespace vc::scriptclip
