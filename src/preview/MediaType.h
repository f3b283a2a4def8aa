#pragma once
// Media types as the preview's pins and renderers negotiate them: pictures as 32-bit RGB with a
// video-info header, sound as PCM with a wave-format header. The headers keep the first
// platform's field layout and rules (row sizes rounded to 4 bytes, image size of a bitmap), since
// the pins' negotiation and stride handling are written in those terms.
#include <cstdint>
#include <variant>

namespace vc::preview {

enum class TMajorType { None, Video, Audio, Stream };
enum class TSubType { None, RGB32, PCM };
enum class TFormatType { None, VideoInfo, WaveFormatEx };

struct TRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const TRect&) const = default;
};

inline constexpr uint32_t BI_RGB = 0;  // uncompressed bitmap

struct TBitmapInfoHeader {
  uint32_t Size = 40;  // bytes of the header
  int32_t Width = 0;   // pixels
  int32_t Height = 0;  // rows; the sign is kept as given (rows are always held top first here)
  uint16_t Planes = 1;
  uint16_t BitCount = 0;
  uint32_t Compression = BI_RGB;
  uint32_t SizeImage = 0;  // bytes
  int32_t XPelsPerMeter = 0, YPelsPerMeter = 0;
  uint32_t ClrUsed = 0, ClrImportant = 0;
  bool operator==(const TBitmapInfoHeader&) const = default;
};

struct TVideoInfoHeader {
  TRect Source;  // part of the picture to show
  TRect Target;
  uint32_t BitRate = 0;           // bit/s
  uint32_t BitErrorRate = 0;
  int64_t AvgTimePerFrame = 0;    // 100-ns units
  TBitmapInfoHeader Header;
  bool operator==(const TVideoInfoHeader&) const = default;
};

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct TWaveFormatEx {
  uint16_t FormatTag = 0;
  uint16_t Channels = 0;
  uint32_t SamplesPerSec = 0;   // Hz
  uint32_t AvgBytesPerSec = 0;  // bytes per second
  uint16_t BlockAlign = 0;      // bytes of one sample frame (all channels)
  uint16_t BitsPerSample = 0;
  uint16_t ExtraSize = 0;
  bool operator==(const TWaveFormatEx&) const = default;
};

// Byte sizes of the format blocks as the first platform counted them (a video-info block with
// its colour table area, a wave-format block).
inline constexpr uint32_t VideoInfoBlockSize = 1128;
inline constexpr uint32_t WaveFormatBlockSize = 18;

struct TMediaType {
  TMajorType Major = TMajorType::None;
  TSubType Sub = TSubType::None;
  bool FixedSizeSamples = false;
  bool TemporalCompression = false;
  uint32_t SampleSize = 0;  // bytes of one sample when fixed-size
  TFormatType FormatType = TFormatType::None;
  uint32_t FormatSize = 0;  // bytes of the format block; 0 = no format block
  std::variant<std::monostate, TVideoInfoHeader, TWaveFormatEx> Format;

  const TVideoInfoHeader* VideoInfo() const { return std::get_if<TVideoInfoHeader>(&Format); }
  TVideoInfoHeader* VideoInfo() { return std::get_if<TVideoInfoHeader>(&Format); }
  const TWaveFormatEx* WaveFormat() const { return std::get_if<TWaveFormatEx>(&Format); }
  bool HasFormat() const { return FormatSize > 0 && !std::holds_alternative<std::monostate>(Format); }
  bool operator==(const TMediaType&) const = default;
};

// Bytes of one row of an uncompressed bitmap: rounded up to a multiple of 4.
int32_t BitmapRowBytes(const TBitmapInfoHeader& header);
// Bytes of an uncompressed bitmap: row bytes x |height|.
int32_t BitmapSize(const TBitmapInfoHeader& header);
// The RGB subtype a header's bit count stands for (32 bits: RGB32).
TSubType BitmapSubtype(const TBitmapInfoHeader& header);

}  // namespace vc::preview
