#pragma once
// The video pin: 32-bit BGRA pictures with graphic subtitles drawn on them.
#include "preview/BCPushPin.h"

namespace vc::preview {

class TBCPushPinBitmap final : public TBCPushPin {
 public:
  explicit TBCPushPinBitmap(TFFPushSource& source);

  TResult GetMediaType(int position, TMediaType* type) override;
  TResult CheckMediaType(const TMediaType& type) override;
  TResult SetMediaType(const TMediaType& type) override;
  TResult DecideBufferSize(TMemAllocator* allocator, TAllocatorProperties* request) override;
  TResult FillBuffer(TMediaSample& sample) override;

  int32_t Stride() const;        // bytes per row of the negotiated format
  int32_t SampleStride() const;  // bytes per row of the format the samples carry

 private:
  void drawSubtitles(TFFSample& picture);  // under FPinLock
  static void copyPicture(const TFFSample& picture, TMediaSample& sample, int32_t stride, int32_t sampleStride);

  int32_t FStride = 0;
  int32_t FSampleStride = 0;
};

// Draws one subtitle rectangle onto a BGRA picture of width x height pixels, rows `stride` bytes
// apart: the rectangle is clamped into the picture, palette entries (32-bit A-R-G-B) with alpha
// blend into B, G and R; the picture's fourth byte is left as it is.
void DrawSubtitleRect(const AVSubtitleRect& rect, uint8_t* picture, int32_t width, int32_t height, int32_t stride);

}  // namespace vc::preview
