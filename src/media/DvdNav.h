#pragma once
// The DVD navigation layer: one open DVD-Video (a disc's mount point or device, a folder holding
// VIDEO_TS, the VIDEO_TS folder itself, or an ISO image) played title by title as 2,048-byte
// blocks. libdvdnav drives the playback; libdvdread's IFO tables give the title layout, so that
// block positions count from the title's start across all its program chains.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vc::media {

struct TDvdChapter {
  int32_t Number = 0;    // 1-based chapter number in the title
  int64_t Start = 0;     // 90 kHz ticks from the title's start
  int64_t Duration = 0;  // 90 kHz ticks
};

// What a title scan tells about one title. Plain values: streams copy the record they read.
struct TDvdTitle {
  std::string Path;        // the DVD source the scanning handle was opened with
  int32_t Number = 0;      // 1-based title number
  int32_t AngleCount = 0;  // camera angles; the title listing writes what playback reports
  int32_t Hours = 0;       // duration split into whole hours, minutes and seconds
  int32_t Minutes = 0;
  int32_t Seconds = 0;
  int64_t Duration = 0;  // 90 kHz ticks
  std::vector<TDvdChapter> Chapters;
};

// One open DVD. Used by one thread at a time.
class TDvdNav final {
 public:
  static constexpr int32_t BlockSize = 2048;

  // Null when path holds no readable DVD-Video.
  static std::unique_ptr<TDvdNav> Open(const std::string& path);
  ~TDvdNav();
  TDvdNav(const TDvdNav&) = delete;
  TDvdNav& operator=(const TDvdNav&) = delete;

  const std::string& Path() const;
  int32_t TitleCount() const;
  // Duration, chapters and angles of a title; nothing for a title to skip (out of range,
  // unreadable or without blocks).
  std::optional<TDvdTitle> ScanTitle(int32_t title);

  // Starts playback of the title at chapter; the next data block Read gives is the chapter's
  // first. False when the title or chapter cannot be played.
  bool Start(const TDvdTitle& title, int32_t chapter);
  // Camera angles of the started title.
  int32_t AngleCount() const;
  void SetAngle(int32_t angle);
  // Chapter where playback stands: that of the block read last, or the chapter playback has just
  // entered. Negative when nothing plays: before Start, after Stop, after the title's end, when
  // navigation left the title or jumped back within it, or when it gave no data for too long.
  int32_t Chapter() const;
  // Next step of playback into buffer (BlockSize bytes):
  //  -1: no data this time; ask Chapter again (it may have changed) before reading on;
  //   0: no data this time; call again;
  //   1: buffer holds length bytes of the program stream.
  int Read(uint8_t* buffer, int32_t& length);
  // position: block position of the block read last (-1 before any); end: the started title's
  // length in blocks. Positions count the title's blocks in playback order from 0.
  void GetPosition(int32_t& position, int32_t& end) const;
  // Moves playback so that the next block Read gives is the title's block at position block.
  bool Seek(int64_t block);
  // Ends playback; the DVD stays open for another Start.
  void Stop();

 private:
  struct TImpl;
  explicit TDvdNav(std::unique_ptr<TImpl> impl);
  std::unique_ptr<TImpl> F;
};

}  // namespace vc::media
