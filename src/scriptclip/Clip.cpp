#include "scriptclip/Clip.h"

#include <exception>
#include <memory>

#include "scriptclip/ScriptError.h"

namespace vc::scriptclip {

void AddClipRef(AVS_Clip* clip) {
  if (clip) ++clip->Refs;
}

void ReleaseClip(AVS_Clip* clip) {
  if (clip && --clip->Refs == 0) std::unique_ptr<AVS_Clip> owner(clip);
}

TCallerClip::TCallerClip(AVS_ScriptEnvironment* env, TClipRef child) : FChild(std::move(child)) {
  FInfo.child = FChild.Get();
  FInfo.env = env;
  if (FChild) FInfo.vi = FChild->Info();
}

TCallerClip::~TCallerClip() {
  if (FInfo.free_filter) FInfo.free_filter(&FInfo);
}

AVS_VideoFrame* TCallerClip::GetFrame(int n) {
  AVS_VideoFrame* frame = nullptr;
  FInfo.error = nullptr;
  if (FInfo.get_frame) {
    frame = FInfo.get_frame(&FInfo, n);
  } else if (FChild) {
    frame = FChild->GetFrame(n);
    if (!frame) Error = FChild->Error;
    return frame;
  }
  if (!frame) Error = FInfo.error ? FInfo.error : "the clip gave no frame";
  return frame;
}

TPictureFilter::TPictureFilter(TClipRef child, const char* name) : FChild(std::move(child)), FName(name) {
  if (!FChild) throw TScriptError(FName + " needs a clip");
  if (!IsPlanar420(FChild->Info().pixel_type)) throw TScriptError(FName + " needs a planar YUV 4:2:0 clip");
}

AVS_VideoFrame* TPictureFilter::GetFrame(int n) {
  try {
    TFramePtr source(FChild->GetFrame(n));
    if (!source) {
      Error = FChild->Error;
      return nullptr;
    }
    // A frame with other planes than the clip describes would be read past its end.
    if (!FrameFits(*source, Info())) {
      Error = FName + ": the frame does not match its clip";
      return nullptr;
    }
    TFramePtr target(NewFrame(Info(), 16));
    Apply(*source, *target);
    return target.release();
  } catch (const std::exception& e) {
    Error = FName + ": " + e.what();
    return nullptr;
  }
}

}  // namespace vc::scriptclip
