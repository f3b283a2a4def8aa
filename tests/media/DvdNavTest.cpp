#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "media/DvdNav.h"
#include "media/DvdSources.h"
#include "media/DvdOracle.h"
#include "support/DvdFixture.h"
#include "support/TestSupport.h"

using namespace vc::media;
using namespace vc::test;

namespace {

struct TBlock {
  int32_t Position;
  int32_t Chapter;
};

// Plays on until the layer ends playback. The cap on calls turns a layer that spins into a
// failure instead of a hung test.
std::string playToEnd(TDvdNav& dvd, std::vector<TBlock>* blocks = nullptr) {
  std::string bytes;
  uint8_t buffer[TDvdNav::BlockSize];
  for (int calls = 0; calls < 100000; ++calls) {
    int32_t length = 0;
    const int answer = dvd.Read(buffer, length);
    if (answer == 1) {
      bytes.append(reinterpret_cast<const char*>(buffer), length);
      int32_t position = 0, end = 0;
      dvd.GetPosition(position, end);
      if (blocks) blocks->push_back({position, dvd.Chapter()});
    } else if (answer < 0 && dvd.Chapter() < 0) {
      return bytes;
    }
  }
  ADD_FAILURE() << "playback never ended";
  return bytes;
}

std::string readBlock(TDvdNav& dvd) {
  uint8_t buffer[TDvdNav::BlockSize];
  for (int calls = 0; calls < 1000; ++calls) {
    int32_t length = 0;
    if (dvd.Read(buffer, length) == 1) return std::string(reinterpret_cast<const char*>(buffer), length);
  }
  return {};
}

TDvdTitle scan(TDvdNav& dvd, int32_t title) {
  auto record = dvd.ScanTitle(title);
  if (!record) throw std::runtime_error("title not scanned");
  return *record;
}

}  // namespace

TEST(DvdNav, OpensFoldersAndImagesWithoutWritingToStdout) {
  const TDvdFixture& fx = DvdFixture();
  std::vector<std::string> sources = {fx.Folder, fx.Folder + "/", fx.Folder + "/VIDEO_TS"};
  if (!fx.Iso.empty()) sources.push_back(fx.Iso);
  TTempDir empty;

  // The libraries print banners to stdout unless their loggers are replaced; velocast-cli's
  // output must stay ours.
  std::fflush(stdout);
  const int saved = dup(1);
  FILE* capture = std::tmpfile();
  dup2(fileno(capture), 1);
  std::vector<int32_t> counts;
  for (const auto& source : sources) {
    auto dvd = TDvdNav::Open(source);
    counts.push_back(dvd ? dvd->TitleCount() : -1);
    if (dvd && dvd->Start(scan(*dvd, 1), 3)) playToEnd(*dvd);
  }
  const bool missingOpened = TDvdNav::Open("/nonexistent/dvd") != nullptr;
  const bool emptyOpened = TDvdNav::Open(empty.Path()) != nullptr;
  std::fflush(stdout);
  dup2(saved, 1);
  close(saved);
  const long written = std::ftell(capture);
  std::fclose(capture);

  EXPECT_EQ(written, 0);
  for (size_t i = 0; i < sources.size(); ++i) EXPECT_EQ(counts[i], 2) << sources[i];
  EXPECT_FALSE(missingOpened);
  EXPECT_FALSE(emptyOpened);
}

TEST(DvdNav, ScansDurationChaptersAndAngles) {
  const TDvdFixture& fx = DvdFixture();
  auto dvd = TDvdNav::Open(fx.Folder);
  ASSERT_TRUE(dvd);
  EXPECT_FALSE(dvd->ScanTitle(0));
  EXPECT_FALSE(dvd->ScanTitle(3));

  const TDvdTitle first = scan(*dvd, 1);
  EXPECT_EQ(first.Path, fx.Folder);
  EXPECT_EQ(first.Number, 1);
  EXPECT_EQ(first.AngleCount, 1);
  EXPECT_NEAR(first.Duration, 10 * 90000, 3600);
  EXPECT_EQ(first.Hours * 3600 + first.Minutes * 60 + first.Seconds, 10);
  ASSERT_EQ(first.Chapters.size(), 3u);
  const int64_t starts[] = {0, 4 * 90000, 8 * 90000}, durations[] = {4 * 90000, 4 * 90000, 2 * 90000};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(first.Chapters[i].Number, i + 1);
    EXPECT_NEAR(first.Chapters[i].Start, starts[i], 3600);  // within a frame
    EXPECT_NEAR(first.Chapters[i].Duration, durations[i], 3600);
  }
  const TDvdTitle second = scan(*dvd, 2);
  EXPECT_EQ(second.Seconds, 2);
  EXPECT_EQ(second.Chapters.size(), 1u);
}

TEST(DvdNav, AnswersNothingOutsidePlayback) {
  auto dvd = TDvdNav::Open(DvdFixture().Folder);
  ASSERT_TRUE(dvd);
  uint8_t buffer[TDvdNav::BlockSize];
  int32_t length = 0, position = 0, end = 0;
  EXPECT_LT(dvd->Chapter(), 0);
  EXPECT_EQ(dvd->Read(buffer, length), -1);
  dvd->GetPosition(position, end);
  EXPECT_EQ(position, -1);

  const TDvdTitle title = scan(*dvd, 1);
  EXPECT_FALSE(dvd->Start(title, 0));
  EXPECT_FALSE(dvd->Start(title, 4));
  ASSERT_TRUE(dvd->Start(title, 2));
  EXPECT_EQ(dvd->Chapter(), 2);
  EXPECT_EQ(dvd->AngleCount(), 1);
  dvd->Stop();
  EXPECT_LT(dvd->Chapter(), 0);
  EXPECT_EQ(dvd->Read(buffer, length), -1);
}

// From chapter 2 playback runs through chapter 3 to the title's end and stops there: the blocks
// are the VOB's sectors of those chapters, each reported with its chapter and its position
// counted from the title's first block.
TEST(DvdNav, PlaysATitleBlockByBlockAndStopsAtItsEnd) {
  const TDvdFixture& fx = DvdFixture();
  const auto chapters = ChapterSectors(fx.Folder, 1);
  auto dvd = TDvdNav::Open(fx.Folder);
  ASSERT_TRUE(dvd);
  ASSERT_TRUE(dvd->Start(scan(*dvd, 1), 2));
  std::vector<TBlock> blocks;
  const std::string bytes = playToEnd(*dvd, &blocks);

  EXPECT_TRUE(bytes == VobSectors(fx.Vob, chapters[1].First, chapters[2].Last));
  const int32_t firstPosition = static_cast<int32_t>(chapters[1].First - chapters[0].First);
  ASSERT_EQ(blocks.size(), chapters[1].Blocks() + chapters[2].Blocks());
  for (size_t i = 0; i < blocks.size(); ++i) {
    ASSERT_EQ(blocks[i].Position, firstPosition + static_cast<int32_t>(i)) << i;
    ASSERT_EQ(blocks[i].Chapter, i < chapters[1].Blocks() ? 2 : 3) << i;
  }
  int32_t position = 0, end = 0;
  dvd->GetPosition(position, end);
  EXPECT_EQ(end, static_cast<int32_t>(chapters[2].Last - chapters[0].First + 1));

  uint8_t buffer[TDvdNav::BlockSize];
  int32_t length = 0;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(dvd->Read(buffer, length), -1);  // ended, not restarted
}

// libdvdnav lands seeks on VOBU starts (and a forward seek inside the current VOBU on the next
// one); the layer still gives exactly the block asked for, in any direction and chapter.
TEST(DvdNav, SeeksToExactBlocks) {
  const TDvdFixture& fx = DvdFixture();
  const auto chapters = ChapterSectors(fx.Folder, 1);
  const uint32_t titleStart = chapters[0].First;
  const int32_t end = static_cast<int32_t>(chapters[2].Last - titleStart + 1);
  auto dvd = TDvdNav::Open(fx.Folder);
  ASSERT_TRUE(dvd);
  ASSERT_TRUE(dvd->Start(scan(*dvd, 1), 1));
  for (int i = 0; i < 3; ++i) readBlock(*dvd);

  const int32_t chapter2 = static_cast<int32_t>(chapters[1].First - titleStart);
  const int32_t targets[] = {5, 6, 100, 40, chapter2, chapter2 - 1, end - 1, 0, 800, 1};
  for (int32_t target : targets) {
    SCOPED_TRACE(target);
    ASSERT_TRUE(dvd->Seek(target));
    EXPECT_EQ(readBlock(*dvd), VobSectors(fx.Vob, titleStart + target, titleStart + target));
    int32_t position = 0, titleEnd = 0;
    dvd->GetPosition(position, titleEnd);
    EXPECT_EQ(position, target);
    EXPECT_EQ(titleEnd, end);
    EXPECT_EQ(dvd->Chapter(), target < chapter2 ? 1 : target < static_cast<int32_t>(chapters[2].First - titleStart) ? 2 : 3);
  }
  EXPECT_FALSE(dvd->Seek(end));
  EXPECT_FALSE(dvd->Seek(-1));

  // After playback has ended, a seek starts it again.
  playToEnd(*dvd);
  ASSERT_TRUE(dvd->Seek(10));
  EXPECT_EQ(readBlock(*dvd), VobSectors(fx.Vob, titleStart + 10, titleStart + 10));
}

// Stills and waits are skipped, and a post command that jumps to another title ends the title's
// playback instead of running on into the other title; an endless still ends as well, and so
// does a title that loops back to its start, after one pass.
TEST(DvdNav, SkipsStillsAndStopsWhereNavigationLeavesTheTitle) {
  const TDvdFixture& fx = DvdFixture();
  auto dvd = TDvdNav::Open(fx.StillFolder);
  ASSERT_TRUE(dvd);
  for (int32_t title : {1, 2, 3}) {
    SCOPED_TRACE(title);
    const auto chapters = ChapterSectors(fx.StillFolder, title);
    ASSERT_TRUE(dvd->Start(scan(*dvd, title), 1));
    EXPECT_TRUE(playToEnd(*dvd) == VobSectors(fx.Vob, chapters.front().First, chapters.back().Last));
    EXPECT_LT(dvd->Chapter(), 0);
  }
}
