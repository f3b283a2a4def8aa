#include "scriptclip/Frame.h"

#include <cstring>
#include <limits>
#include <type_traits>
#include <vector>

#include "scriptclip/ScriptError.h"

namespace vc::scriptclip {

namespace {

// The frame record handed out, its buffer record and the memory of both, in one object; the
// record comes first so the pointer handed out leads back to the whole.
struct TFrameStorage {
  AVS_VideoFrame Frame;
  AVS_VideoFrameBuffer Buffer;
  std::vector<uint8_t> Memory;
};
static_assert(std::is_standard_layout_v<TFrameStorage>);

TFrameStorage* storageOf(AVS_VideoFrame* frame) { return reinterpret_cast<TFrameStorage*>(frame); }

int alignUp(int value, int align) { return (value + align - 1) / align * align; }

}  // namespace

bool IsPlanar420(int pixelType) { return pixelType == AVS_CS_I420 || pixelType == AVS_CS_YV12; }

AVS_VideoFrame* NewFrame(const AVS_VideoInfo& vi, int align) {
  if (!IsPlanar420(vi.pixel_type)) throw TScriptError("only planar YUV 4:2:0 clips have frames");
  constexpr int largest = 1 << 15;  // pixels per side
  if (vi.width <= 0 || vi.height <= 0 || vi.width > largest || vi.height > largest)
    throw TScriptError("a frame of " + std::to_string(vi.width) + "x" + std::to_string(vi.height) + " cannot be made");
  if (align < 16 || (align & (align - 1)) != 0) align = 16;
  if (align > 4096) align = 4096;

  const int chromaWidth = (vi.width + 1) / 2;
  const int chromaHeight = (vi.height + 1) / 2;
  // Chroma pitch is half the luma pitch, and both stay multiples of align.
  const int pitch = alignUp(2 * chromaWidth, 2 * align);
  const int pitchUV = pitch / 2;
  const size_t lumaBytes = static_cast<size_t>(pitch) * static_cast<size_t>(vi.height);
  const size_t chromaBytes = static_cast<size_t>(pitchUV) * static_cast<size_t>(chromaHeight);
  const size_t total = lumaBytes + 2 * chromaBytes;

  auto storage = std::make_unique<TFrameStorage>();
  storage->Memory.resize(total + static_cast<size_t>(align));
  const auto address = reinterpret_cast<uintptr_t>(storage->Memory.data());
  const size_t lead = (static_cast<size_t>(align) - address % static_cast<size_t>(align)) % static_cast<size_t>(align);
  storage->Buffer.data = storage->Memory.data() + lead;
  storage->Buffer.data_size = static_cast<int>(total);

  AVS_VideoFrame& frame = storage->Frame;
  frame.refcount = 1;
  frame.vfb = &storage->Buffer;
  frame.offset = 0;
  frame.pitch = pitch;
  frame.row_size = vi.width;
  frame.height = vi.height;
  frame.pitchUV = pitchUV;
  frame.row_sizeUV = chromaWidth;
  frame.heightUV = chromaHeight;
  const int first = static_cast<int>(lumaBytes);
  const int second = static_cast<int>(lumaBytes + chromaBytes);
  // I420 keeps U before V in memory, YV12 V before U; the planes are found by offset either way.
  frame.offsetU = vi.pixel_type == AVS_CS_I420 ? first : second;
  frame.offsetV = vi.pixel_type == AVS_CS_I420 ? second : first;
  return &storage.release()->Frame;
}

AVS_VideoFrame* CopyFrameRef(AVS_VideoFrame* frame) {
  if (frame) ++frame->refcount;
  return frame;
}

void ReleaseFrame(AVS_VideoFrame* frame) {
  if (!frame || --frame->refcount > 0) return;
  std::unique_ptr<TFrameStorage> owner(storageOf(frame));
}

void BitBlt(uint8_t* dst, int dstPitch, const uint8_t* src, int srcPitch, int rowSize, int height) {
  if (!dst || !src || rowSize <= 0 || height <= 0) return;
  for (int y = 0; y < height; ++y)
    std::memcpy(dst + static_cast<ptrdiff_t>(y) * dstPitch, src + static_cast<ptrdiff_t>(y) * srcPitch,
                static_cast<size_t>(rowSize));
}

bool FrameFits(const AVS_VideoFrame& frame, const AVS_VideoInfo& vi) {
  return frame.vfb && frame.row_size == vi.width && frame.height == vi.height &&
         frame.row_sizeUV == (vi.width + 1) / 2 && frame.heightUV == (vi.height + 1) / 2 &&
         frame.pitch >= frame.row_size && frame.pitchUV >= frame.row_sizeUV;
}

}  // namespace vc::scriptclip
