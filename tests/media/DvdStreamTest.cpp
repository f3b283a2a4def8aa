#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "base/Errors.h"
#include "media/DvdNav.h"
#include "media/DvdOracle.h"
#include "media/DvdStream.h"
#include "media/InputOpener.h"
#include "media/StreamProtocol.h"
#include "media/StreamTable.h"
#include "support/DvdFixture.h"
#include "support/TestSupport.h"

using namespace vc::media;
using namespace vc::test;
using vc::base::EVelocastError;

namespace {

TDvdTitle scanTitle(const std::string& source, int32_t number) {
  auto dvd = TDvdNav::Open(source);
  if (!dvd) throw std::runtime_error("cannot open " + source);
  auto title = dvd->ScanTitle(number);
  if (!title) throw std::runtime_error("cannot scan title");
  return *title;
}

// Reads until the stream says it has ended, in reads of an awkward size.
std::string readAll(TStream& stream, int32_t chunk = 10000) {
  std::string bytes, buffer(chunk, '\0');
  for (int reads = 0; reads < 100000; ++reads) {
    const int32_t n = stream.Read(buffer.data(), chunk);
    if (n == 0) return bytes;
    bytes.append(buffer.data(), n);
  }
  ADD_FAILURE() << "the stream never ended";
  return bytes;
}

std::string readSome(TStream& stream, int32_t count) {
  std::string buffer(count, '\0');
  buffer.resize(stream.Read(buffer.data(), count));
  return buffer;
}

struct TRange {
  int32_t Title, First, Last;
};

// The VOB bytes of a chapter range, by the IFO tables.
std::string expectedBytes(const TRange& r) {
  const TDvdFixture& fx = DvdFixture();
  const auto chapters = ChapterSectors(fx.Folder, r.Title);
  return VobSectors(fx.Vob, chapters[r.First - 1].First, chapters[r.Last - 1].Last);
}

}  // namespace

// A range of one chapter is exactly its blocks; a range ending before the title's last chapter
// ends where the next chapter starts, one ending with it at the title's end.
TEST(DvdStream, RangesGiveExactlyTheirChaptersBlocks) {
  const TDvdFixture& fx = DvdFixture();
  const TRange ranges[] = {{1, 1, 1}, {1, 2, 2}, {1, 3, 3}, {1, 1, 2}, {1, 2, 3}, {1, 1, 3}, {2, 1, 1}};
  for (const TRange& r : ranges) {
    SCOPED_TRACE(testing::Message() << "title " << r.Title << " chapters " << r.First << "-" << r.Last);
    const std::string expected = expectedBytes(r);
    TDvdStream stream(scanTitle(fx.Folder, r.Title), 1, r.First, r.Last);
    EXPECT_EQ(stream.Size(), static_cast<int64_t>(expected.size()));
    const std::string bytes = readAll(stream);
    EXPECT_EQ(bytes.size(), expected.size());
    EXPECT_TRUE(bytes == expected);
  }
  if (fx.Iso.empty()) GTEST_SKIP() << "no ISO image (genisoimage missing)";
  for (const TRange& r : {TRange{1, 2, 2}, TRange{1, 3, 3}}) {
    SCOPED_TRACE(testing::Message() << "ISO chapters " << r.First << "-" << r.Last);
    TDvdStream stream(scanTitle(fx.Iso, r.Title), 1, r.First, r.Last);
    EXPECT_TRUE(readAll(stream) == expectedBytes(r));
  }
}

TEST(DvdStream, SeeksLandOnTheRequestedByte) {
  const TDvdFixture& fx = DvdFixture();
  for (const TRange& r : {TRange{1, 1, 2}, TRange{1, 2, 3}}) {
    SCOPED_TRACE(testing::Message() << "chapters " << r.First << "-" << r.Last);
    const std::string expected = expectedBytes(r);
    const auto size = static_cast<int64_t>(expected.size());
    TDvdStream stream(scanTitle(fx.Folder, r.Title), 1, r.First, r.Last);
    ASSERT_EQ(stream.Size(), size);
    readSome(stream, 3 * 2048 + 100);

    // Forwards inside the VOBU read last, backwards, into the next chapter, to block boundaries
    // and inside blocks, up to the last byte.
    const int64_t offsets[] = {5 * 2048 + 1, 6 * 2048, 100 * 2048 + 777, 40 * 2048, 376 * 2048 + 2047,
                               size - 50 * 2048 + 3, 1, size - 1000, size - 1, 2048 + 5};
    for (int64_t offset : offsets) {
      SCOPED_TRACE(offset);
      ASSERT_EQ(stream.Seek(offset, TSeekOrigin::soBeginning), offset);
      const int64_t count = std::min<int64_t>(5000, size - offset);
      EXPECT_TRUE(readSome(stream, 5000) == expected.substr(offset, count));
    }

    // Seek to 0 starts the first chapter again, also after the stream has ended.
    readAll(stream);
    ASSERT_EQ(stream.Seek(0, TSeekOrigin::soBeginning), 0);
    EXPECT_TRUE(readSome(stream, 3000) == expected.substr(0, 3000));
    ASSERT_EQ(stream.Seek(0, TSeekOrigin::soBeginning), 0);
    EXPECT_TRUE(readAll(stream, 65536) == expected);

    // Beyond the end lands at the end; negative offsets at the start; only absolute seeks work.
    EXPECT_EQ(stream.Seek(size + 12345, TSeekOrigin::soBeginning), size);
    EXPECT_EQ(readSome(stream, 4096).size(), 0u);
    EXPECT_EQ(stream.Seek(size, TSeekOrigin::soBeginning), size);
    EXPECT_EQ(readSome(stream, 4096).size(), 0u);
    EXPECT_EQ(stream.Seek(-5, TSeekOrigin::soBeginning), 0);
    EXPECT_TRUE(readSome(stream, 100) == expected.substr(0, 100));
    EXPECT_EQ(stream.Seek(0, TSeekOrigin::soCurrent), -1);
    EXPECT_EQ(stream.Seek(0, TSeekOrigin::soEnd), -1);
  }
}

TEST(DvdStream, AReadPastTheEndGivesWhatIsLeftThenZero) {
  const TRange r{1, 3, 3};
  const std::string expected = expectedBytes(r);
  const auto size = static_cast<int32_t>(expected.size());
  TDvdStream stream(scanTitle(DvdFixture().Folder, r.Title), 1, r.First, r.Last);
  EXPECT_TRUE(readSome(stream, size + 5000) == expected);
  EXPECT_EQ(readSome(stream, 100).size(), 0u);

  ASSERT_EQ(stream.Seek(size - 3000, TSeekOrigin::soBeginning), size - 3000);
  EXPECT_TRUE(readSome(stream, 10000) == expected.substr(size - 3000));
  EXPECT_EQ(readSome(stream, 10000).size(), 0u);
  EXPECT_EQ(readSome(stream, 10000).size(), 0u);
}

// A title whose program chain jumps back to its first chapter would otherwise play for ever.
TEST(DvdStream, ALoopingTitleEndsAfterOnePass) {
  const TDvdFixture& fx = DvdFixture();
  const auto chapters = ChapterSectors(fx.StillFolder, 3);
  TDvdStream stream(scanTitle(fx.StillFolder, 3), 1, 1, 1);
  EXPECT_TRUE(readAll(stream) == VobSectors(fx.Vob, chapters[0].First, chapters[0].Last));
}

TEST(DvdStream, FailuresAreClearErrors) {
  const TDvdTitle title = scanTitle(DvdFixture().Folder, 1);
  auto message = [](const TDvdTitle& t, int32_t first, int32_t last) -> std::string {
    try {
      TDvdStream stream(t, 1, first, last);
    } catch (const EVelocastError& e) {
      return e.what();
    }
    return "no error";
  };
  TDvdTitle gone = title;
  gone.Path = "/nonexistent/dvd";
  EXPECT_EQ(message(gone, 1, 1), "Can not open title");

  // A record that lists chapters the disc does not have.
  TDvdTitle longer = title;
  for (int32_t n = 4; n <= 5; ++n) longer.Chapters.push_back({n, 0, 0});
  EXPECT_EQ(message(longer, 5, 5), "Can not start chapter");
  EXPECT_EQ(message(longer, 2, 3), "Can not start chapter");  // the chapter after the range

  for (auto [first, last] : {std::pair{0, 1}, {2, 1}, {1, 4}})
    EXPECT_NE(message(title, first, last).find("are not in title 1"), std::string::npos) << first << "-" << last;
}

// What the media libraries make of a chapter range read through "stream:N": a program stream
// whose video lasts as long as those chapters of the source the title was authored from.
TEST(DvdStream, DemuxedThroughStreamUrlsLastsAsLongAsItsChapters) {
  const TDvdFixture& fx = DvdFixture();
  RegisterStreamProtocol();
  std::string probe;
  ASSERT_EQ(RunCommand("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + fx.Title1Source + "'", &probe), 0);
  const double title = std::stod(probe);  // chapters start at 0, 4 and 8 s

  struct TCase {
    std::string Source;
    int32_t First, Last;
    double Seconds;
  };
  std::vector<TCase> cases = {{fx.Folder, 2, 3, title - 4}, {fx.Folder, 1, 3, title}, {fx.Folder, 2, 2, 4.0}};
  if (!fx.Iso.empty()) cases.push_back({fx.Iso, 1, 3, title});
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Source << " chapters " << c.First << "-" << c.Last);
    const int32_t number =
        StreamTable().Add(std::make_unique<TDvdStream>(scanTitle(c.Source, 1), 1, c.First, c.Last));
    TOpenedInput input;
    ASSERT_EQ(OpenInput(input, StreamUrl(number) + ".vob", nullptr, nullptr), 0);
    AVFormatContext* context = input.Context.get();
    ASSERT_GE(avformat_find_stream_info(context, nullptr), 0);
    const int video = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    ASSERT_GE(video, 0);
    auto packet = MakePacket();
    int64_t first = INT64_MAX, end = INT64_MIN;  // video stream time base
    while (av_read_frame(context, packet.get()) >= 0) {
      if (packet->stream_index == video && packet->pts != AV_NOPTS_VALUE) {
        first = std::min(first, packet->pts);
        end = std::max(end, packet->pts + packet->duration);
      }
      av_packet_unref(packet.get());
    }
    ASSERT_LT(first, end);
    EXPECT_NEAR((end - first) * av_q2d(context->streams[video]->time_base), c.Seconds, 0.5);
  }
}
