#pragma once
// A chapter range of a DVD title, in one camera angle, as one continuous MPEG program stream:
// the title's 2,048-byte blocks from the first chapter's first block up to the last chapter's
// end. Read through the "stream:" protocol like a file.
#include <cstdint>
#include <memory>

#include "media/CircularBuffer.h"
#include "media/DvdNav.h"
#include "media/Stream.h"

namespace vc::media {

class TDvdStream final : public TStream {
 public:
  // Opens its own DVD handle on title.Path. firstChapter and lastChapter are 1-based positions in
  // title.Chapters (inclusive). Throws EVelocastError: "Can not open title" when the DVD cannot be
  // opened, "Can not start chapter" when the range cannot be played. Afterwards the stream stands
  // at its start and its Size is known.
  TDvdStream(const TDvdTitle& title, int32_t angle, int32_t firstChapter, int32_t lastChapter);
  ~TDvdStream() override;

  // (end block - first block) * 2,048 bytes.
  int64_t Size() override;
  // Bytes of the range from the current position; fewer than count only at the end of the range
  // (a jump backwards or out of the title also ends it), 0 after it.
  int32_t Read(void* buffer, int32_t count) override;
  // Only from the beginning; other origins answer -1. Offsets are clamped to [0, Size].
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  int32_t FirstBlock() const { return FFirstBlock; }
  int32_t EndBlock() const { return FEndBlock; }

 private:
  void startRange();
  void readFirstBlock(int32_t chapter);

  TDvdTitle FTitle;  // a copy: the stream may outlive the listing that scanned it
  int32_t FAngle;
  int32_t FFirstChapter = 0;    // chapter number where the stream begins
  int32_t FLastChapter = 0;     // chapter number where it ends (inclusive)
  int64_t FSize = 0;            // bytes
  int32_t FCurrentChapter = 0;  // chapter the DVD handle reported last
  int32_t FFirstBlock = 0;      // title block position of the first chapter's start
  int32_t FEndBlock = 0;        // title block position just past the last chapter
  bool FSeeking = false;
  bool FAtEnd = false;  // positioned at the end of the range by Seek
  TCircularBuffer FRing;
  std::unique_ptr<TDvdNav> FDvd;
};

}  // namespace vc::media
