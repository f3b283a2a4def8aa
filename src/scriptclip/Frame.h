#pragma once
// Frames of planar 4:2:0 pictures: allocation with aligned planes, shared ownership by count,
// and plane copies.
#include <memory>

#include "scriptclip/ScriptClipApi.h"

namespace vc::scriptclip {

bool IsPlanar420(int pixelType);

// A new frame for vi with every plane start and pitch a multiple of align (a power of two, at
// least 1; 16 when smaller). Throws TScriptError for a description without frames here.
AVS_VideoFrame* NewFrame(const AVS_VideoInfo& vi, int align);
AVS_VideoFrame* CopyFrameRef(AVS_VideoFrame* frame);
void ReleaseFrame(AVS_VideoFrame* frame);

// Copies height rows of rowSize bytes; nothing for a non-positive size.
void BitBlt(uint8_t* dst, int dstPitch, const uint8_t* src, int srcPitch, int rowSize, int height);

struct TFrameRelease {
  void operator()(AVS_VideoFrame* frame) const { ReleaseFrame(frame); }
};
using TFramePtr = std::unique_ptr<AVS_VideoFrame, TFrameRelease>;

// True when frame has the planes vi describes.
bool FrameFits(const AVS_VideoFrame& frame, const AVS_VideoInfo& vi);

}  // namespace vc::scriptclip
