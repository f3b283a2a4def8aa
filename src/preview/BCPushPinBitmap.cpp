#include "preview/BCPushPinBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/Errors.h"
#include "preview/FFPushSource.h"
#include "preview/ReferenceClock.h"

namespace vc::preview {

namespace {

int32_t rowSize(const TBitmapInfoHeader& header) {
  VC_ASSERT(header.Compression == BI_RGB);
  return (header.BitCount / 8 * header.Width + 3) & ~3;
}

// Seconds on the stream time line to 100-ns units relative to the segment base.
int64_t segmentTime(double seconds, double segmentBase) {
  return std::llround((seconds - segmentBase) * UnitsPerSecond);
}

}  // namespace

TBCPushPinBitmap::TBCPushPinBitmap(TFFPushSource& source) : TBCPushPin(source) {}

int32_t TBCPushPinBitmap::Stride() const {
  std::lock_guard lock(FPinLock);
  return FStride;
}

int32_t TBCPushPinBitmap::SampleStride() const {
  std::lock_guard lock(FPinLock);
  return FSampleStride;
}

TResult TBCPushPinBitmap::GetMediaType(int position, TMediaType* type) {
  if (!type) return TResult::E_POINTER;
  if (position < 0) return TResult::E_INVALIDARG;
  if (position > 0 || !FSource.HasVideo()) return TResult::VFW_S_NO_MORE_ITEMS;
  std::lock_guard state(FSource.StateLock());
  const int32_t width = FSource.GetVideoWidth();
  const int32_t height = FSource.GetVideoHeight();
  TVideoInfoHeader info;
  info.Source = {0, 0, width, height};
  info.Target = {0, 0, width, height};
  info.Header.Size = 40;
  info.Header.Width = width;
  info.Header.Height = height;
  info.Header.Planes = 1;
  info.Header.BitCount = 32;
  info.Header.Compression = BI_RGB;
  info.Header.SizeImage = static_cast<uint32_t>(BitmapSize(info.Header));
  info.Header.ClrImportant = 0;
  *type = TMediaType{};
  type->Major = TMajorType::Video;
  type->Sub = BitmapSubtype(info.Header);
  type->FormatType = TFormatType::VideoInfo;
  type->FormatSize = VideoInfoBlockSize;
  type->FixedSizeSamples = true;
  type->TemporalCompression = false;
  type->SampleSize = info.Header.SizeImage;
  type->Format = info;
  return TResult::S_OK;
}

TResult TBCPushPinBitmap::CheckMediaType(const TMediaType& type) {
  const TVideoInfoHeader* info = type.VideoInfo();
  if (type.Major != TMajorType::Video || !type.FixedSizeSamples || type.Sub != TSubType::RGB32 || !info ||
      !type.HasFormat())
    return TResult::E_INVALIDARG;
  if (std::abs(info->Header.Width) < FSource.GetVideoWidth() || std::abs(info->Header.Height) != FSource.GetVideoHeight())
    return TResult::E_INVALIDARG;
  return TResult::S_OK;
}

TResult TBCPushPinBitmap::SetMediaType(const TMediaType& type) {
  std::lock_guard state(FSource.StateLock());
  if (!type.HasFormat() || !type.VideoInfo()) return TResult::E_UNEXPECTED;
  TMediaType adopted = type;
  TVideoInfoHeader& info = *adopted.VideoInfo();
  if (info.Source.Empty()) info.Source = {0, 0, info.Header.Width, std::abs(info.Header.Height)};
  const uint16_t bits = info.Header.BitCount;
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    base::AssertionFailed("bit count of 8, 16, 24 or 32", __FILE__, __LINE__);
  }
  const int32_t stride = rowSize(info.Header);
  {
    std::lock_guard lock(FPinLock);
    FStride = stride;
    FSampleStride = stride;
  }
  return TSourceStreamPin::SetMediaType(adopted);
}

TResult TBCPushPinBitmap::DecideBufferSize(TMemAllocator* allocator, TAllocatorProperties* request) {
  std::lock_guard state(FSource.StateLock());
  if (!allocator || !request) return TResult::E_POINTER;
  const TMediaType type = CurrentMediaType();
  const TVideoInfoHeader* info = type.VideoInfo();
  if (!info) return TResult::E_UNEXPECTED;
  request->Buffers = 1;
  request->BufferSize = static_cast<int32_t>(info->Header.SizeImage);
  TAllocatorProperties actual;
  const TResult r = allocator->SetProperties(*request, actual);
  if (Failed(r)) return r;
  return actual.BufferSize < request->BufferSize ? TResult::E_FAIL : TResult::S_OK;
}

void DrawSubtitleRect(const AVSubtitleRect& rect, uint8_t* picture, int32_t width, int32_t height, int32_t stride) {
  if (!rect.data[0] || !rect.data[1] || width <= 0 || height <= 0) return;
  const int32_t w = std::clamp(rect.w, 0, width);
  const int32_t h = std::clamp(rect.h, 0, height);
  const int32_t x = std::clamp(rect.x, 0, width - w);
  const int32_t y = std::clamp(rect.y, 0, height - h);
  const auto* palette = reinterpret_cast<const uint32_t*>(rect.data[1]);
  for (int32_t row = 0; row < h; ++row) {
    const uint8_t* source = rect.data[0] + static_cast<ptrdiff_t>(row) * rect.linesize[0];
    uint8_t* target = picture + static_cast<ptrdiff_t>(y + row) * stride + static_cast<ptrdiff_t>(x) * 4;
    for (int32_t column = 0; column < w; ++column, target += 4) {
      const uint8_t index = source[column];
      // A bitmap byte outside the palette is drawn as transparent rather than read past it.
      if (index >= rect.nb_colors) continue;
      const uint32_t colour = palette[index];
      const uint32_t alpha = colour >> 24;
      if (alpha == 0) continue;
      const uint32_t red = (colour >> 16) & 0xFF, green = (colour >> 8) & 0xFF, blue = colour & 0xFF;
      target[0] = static_cast<uint8_t>((target[0] * (255 - alpha) + blue * alpha) / 255);
      target[1] = static_cast<uint8_t>((target[1] * (255 - alpha) + green * alpha) / 255);
      target[2] = static_cast<uint8_t>((target[2] * (255 - alpha) + red * alpha) / 255);
    }
  }
}

void TBCPushPinBitmap::drawSubtitles(TFFSample& picture) {
  const double start = picture.Start;
  while (!FSubtitles.empty()) {
    const TFFSubtitle& subtitle = *FSubtitles.front();
    const double displayStart = subtitle.DisplayStart();
    const double displayEnd = subtitle.DisplayEnd();
    if (displayStart <= start && displayEnd >= start) {
      const AVSubtitle& s = subtitle.Subtitle();
      for (unsigned i = 0; i < s.num_rects; ++i)
        DrawSubtitleRect(*s.rects[i], picture.Data.get(), picture.Width, picture.Height, picture.Width * 4);
      return;
    }
    if (displayEnd >= start) return;  // still to come
    FSubtitles.pop_front();           // over before this picture
  }
}

void TBCPushPinBitmap::copyPicture(const TFFSample& picture, TMediaSample& sample, int32_t stride,
                                   int32_t sampleStride) {
  const int32_t pictureStride = picture.Width * 4;  // rows as the decoder thread holds them
  if (sampleStride == stride && stride == pictureStride) {
    const int32_t bytes = std::min(picture.Size, sample.Size());
    std::memcpy(sample.Pointer(), picture.Data.get(), static_cast<size_t>(bytes));
    sample.SetActualDataLength(bytes);
    return;
  }
  const int32_t step = std::abs(sampleStride);
  if (step == 0) return;
  const int32_t rows = std::min(picture.Height, sample.Size() / step);
  const int32_t rowBytes = std::min(pictureStride, step);
  uint8_t* target = sample.Pointer();
  if (sampleStride < 0) target += static_cast<ptrdiff_t>(rows - 1) * step;
  for (int32_t row = 0; row < rows; ++row) {
    std::memcpy(target, picture.Data.get() + static_cast<ptrdiff_t>(row) * pictureStride, static_cast<size_t>(rowBytes));
    target += sampleStride;
  }
  sample.SetActualDataLength(rows * step);
}

TResult TBCPushPinBitmap::FillBuffer(TMediaSample& sample) {
  std::lock_guard seeking(FSource.SeekingLock());
  std::unique_ptr<TFFSample> picture;
  int32_t stride = 0, sampleStride = 0;
  {
    std::lock_guard lock(FPinLock);
    if (const TMediaType* changed = sample.MediaType(); changed && changed->VideoInfo())
      FSampleStride = std::abs(rowSize(changed->VideoInfo()->Header));
    VC_ASSERT(CurrentMediaType().FormatType == TFormatType::VideoInfo);
    if (FSource.RestartPending()) return TResult::NothingYet;
    if (FSamples.empty()) return FSource.EndOfInput() ? TResult::S_FALSE : TResult::NothingYet;
    picture = std::move(FSamples.front());
    FSamples.pop_front();
    drawSubtitles(*picture);
    stride = FStride;
    sampleStride = FSampleStride;
    if (FDiscontinuity) FSegmentBase = static_cast<double>(FSource.StartPosition()) / UnitsPerSecond;
    sample.SetTime(segmentTime(picture->Start, FSegmentBase), segmentTime(picture->Stop, FSegmentBase));
    sample.SetSyncPoint(true);
    if (FDiscontinuity) {
      sample.SetDiscontinuity(true);
      FDiscontinuity = false;
    }
  }
  // Outside the pin lock, so a handler may ask the source or the pin about its state.
  FSource.FireOnBuffer(picture->Data.get(), picture->Width, picture->Height);
  copyPicture(*picture, sample, stride, sampleStride);
  return TResult::S_OK;
}

}  // namespace vc::preview
