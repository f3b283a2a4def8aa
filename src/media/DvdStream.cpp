#include "media/DvdStream.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/Format.h"

namespace vc::media {

namespace {
constexpr int32_t kBlock = TDvdNav::BlockSize;
}

TDvdStream::TDvdStream(const TDvdTitle& title, int32_t angle, int32_t firstChapter, int32_t lastChapter)
    : FTitle(title), FAngle(angle), FRing(TCircularBuffer::DefaultCapacity) {
  const auto count = static_cast<int32_t>(FTitle.Chapters.size());
  if (firstChapter < 1 || lastChapter < firstChapter || lastChapter > count)
    throw base::EVelocastError(
        base::Format("Chapters %d to %d are not in title %d", firstChapter, lastChapter, FTitle.Number));
  FDvd = TDvdNav::Open(FTitle.Path);
  if (!FDvd) throw base::EVelocastError("Can not open title");
  FFirstChapter = FTitle.Chapters[firstChapter - 1].Number;
  FLastChapter = FTitle.Chapters[lastChapter - 1].Number;
  startRange();
}

TDvdStream::~TDvdStream() {
  if (FDvd) FDvd->Stop();
}

// Finds the range's block positions by playing into the chapter after it and into the first one:
// only a block actually read tells where navigation stands.
void TDvdStream::startRange() {
  int32_t position = 0, end = 0;
  if (FLastChapter < static_cast<int32_t>(FTitle.Chapters.size())) {
    const int32_t last = FLastChapter;
    FLastChapter = last + 1;  // the range check has to let that one block through
    readFirstBlock(last + 1);
    FLastChapter = last;
    FRing.Clear();
    FDvd->GetPosition(position, end);
    FEndBlock = position;
    FDvd->Stop();
  }
  // The block read here is the stream's first and stays in the ring, so that the stream starts at
  // offset 0 and byte k lies in block FFirstBlock + k div 2,048.
  readFirstBlock(FFirstChapter);
  FDvd->GetPosition(position, end);
  FFirstBlock = position;
  if (FLastChapter == static_cast<int32_t>(FTitle.Chapters.size())) FEndBlock = end;
  if (FFirstBlock < 0 || FEndBlock <= FFirstBlock) throw base::EVelocastError("Can not start chapter");
  Size();
}

// Starts playback at chapter and reads its first block into the ring.
void TDvdStream::readFirstBlock(int32_t chapter) {
  if (!FDvd->Start(FTitle, chapter)) {
    FDvd.reset();
    throw base::EVelocastError("Can not start chapter");
  }
  // The angle before the first block: in a multi-angle cell that block is already the angle's.
  FDvd->SetAngle(FAngle);
  FCurrentChapter = chapter;
  uint8_t block[kBlock];
  const int32_t n = Read(block, kBlock);
  if (n != kBlock) throw base::EVelocastError("Can not start chapter");
  VC_ASSERT(FRing.Write(block, n));
}

int64_t TDvdStream::Size() {
  FSize = static_cast<int64_t>(FEndBlock - FFirstBlock) * kBlock;
  return FSize;
}

int32_t TDvdStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || FAtEnd) return 0;
  // One more block must always fit beside what the ring holds while it fills up to count.
  count = std::min(count, FRing.Capacity() - 1 - kBlock);
  if (FRing.Available(true) >= count) {
    VC_ASSERT(FRing.Read(buffer, count));
    return count;
  }
  uint8_t block[kBlock];
  for (;;) {
    const int32_t chapter = FDvd->Chapter();
    if (!FSeeking && chapter < FCurrentChapter) break;  // navigation went backwards
    FCurrentChapter = chapter;
    if (chapter < 0 || chapter < FFirstChapter || chapter > FLastChapter) break;
    int32_t length = 0;
    int answer;
    while ((answer = FDvd->Read(block, length)) == 0) {
    }
    if (answer < 0) continue;
    VC_ASSERT(FRing.Write(block, length));
    if (FRing.Available(true) >= count) {
      VC_ASSERT(FRing.Read(buffer, count));
      return count;
    }
  }
  const int32_t n = FRing.Available(true);
  VC_ASSERT(FRing.Read(buffer, n));
  return n;
}

int64_t TDvdStream::Seek(int64_t offset, TSeekOrigin origin) {
  struct TSeeking {
    bool& Flag;
    explicit TSeeking(bool& flag) : Flag(flag) { Flag = true; }
    ~TSeeking() { Flag = false; }
  } seeking(FSeeking);
  FRing.Clear();
  if (origin != TSeekOrigin::soBeginning) return -1;
  FAtEnd = false;
  offset = std::clamp<int64_t>(offset, 0, FSize);
  if (offset == FSize) {
    // Past the range's last block there is nothing to seek to (at a title's end, nothing at all).
    FAtEnd = true;
    return offset;
  }
  const int64_t block = offset / kBlock;
  if (block == 0) {
    FDvd->Start(FTitle, FFirstChapter);
    FDvd->SetAngle(FAngle);
  } else {
    const bool landed = FDvd->Seek(FFirstBlock + block);
    VC_ASSERT(landed);
  }
  // Reading goes on from the chapter seeked into, which may lie before the last one read.
  FCurrentChapter = FDvd->Chapter();
  if (const int32_t skip = static_cast<int32_t>(offset % kBlock)) {
    uint8_t discard[kBlock];
    Read(discard, skip);
  }
  return offset;
}

}  // namespace vc::media
