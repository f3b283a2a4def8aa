#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "media/InputOpener.h"
#include "media/StreamProtocol.h"
#include "media/StreamTable.h"
#include "support/TestSupport.h"

using namespace vc::media;
using vc::base::EVelocastError;

namespace {

// A program stream of 2 s made by the ffmpeg CLI once per build folder.
const std::string& programStreamFile() {
  static const std::string path = [] {
    const std::string dir = VELOCAST_FIXTURE_DIR;
    const std::string file = dir + "/stream-protocol.mpg";
    if (!std::filesystem::exists(file)) {
      std::filesystem::create_directories(dir);
      const std::string work = file + "." + std::to_string(getpid()) + ".mpg";
      const int rc = vc::test::RunCommand(
          "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i "
          "sine=frequency=440:sample_rate=48000 -t 2 -c:v mpeg2video -g 10 -c:a mp2 -f vob '" + work + "'");
      if (rc != 0) throw std::runtime_error("ffmpeg failed");
      std::filesystem::rename(work, file);
    }
    return file;
  }();
  return path;
}

// A stream over bytes in memory that tells when it is destroyed; optionally fails on a read after
// failAfter bytes, like a DVD stream whose invariant breaks.
class TMemoryStream final : public TStream {
 public:
  TMemoryStream(std::string data, bool* destroyed, int64_t failAfter = -1)
      : FData(std::move(data)), FDestroyed(destroyed), FFailAfter(failAfter) {}
  ~TMemoryStream() override {
    if (FDestroyed) *FDestroyed = true;
  }
  int32_t Read(void* buffer, int32_t count) override {
    if (FFailAfter >= 0 && FPosition >= FFailAfter) throw vc::base::EAssertionFailed("Assertion failed: test");
    const int64_t n = std::min<int64_t>(count, static_cast<int64_t>(FData.size()) - FPosition);
    if (n <= 0) return 0;
    std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += n;
    return static_cast<int32_t>(n);
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                         : origin == TSeekOrigin::soCurrent ? FPosition
                                                            : static_cast<int64_t>(FData.size());
    if (base + offset < 0) return -1;
    FPosition = base + offset;
    return FPosition;
  }

 private:
  std::string FData;
  bool* FDestroyed;
  int64_t FFailAfter;
  int64_t FPosition = 0;
};

class StreamProtocol : public testing::Test {
 protected:
  void SetUp() override { RegisterStreamProtocol(); }
  static std::string data() { return vc::test::ReadFile(programStreamFile()); }
  static int32_t addStream(bool* destroyed, int64_t failAfter = -1) {
    return StreamTable().Add(std::make_unique<TMemoryStream>(data(), destroyed, failAfter));
  }
};

// Demuxes everything; returns the video packets seen, or -1 when reading failed.
int demuxVideoPackets(AVFormatContext* context) {
  auto packet = MakePacket();
  int video = 0, rc;
  while ((rc = av_read_frame(context, packet.get())) >= 0) {
    if (context->streams[packet->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) ++video;
    av_packet_unref(packet.get());
  }
  return rc == AVERROR_EOF ? video : -1;
}

}  // namespace

TEST_F(StreamProtocol, ParsesTheNumberWithOrWithoutAnExtension) {
  struct TCase {
    const char* url;
    int32_t number;
  } good[] = {{"stream:1234", 1234}, {"stream:1234.vob", 1234}, {"stream:1234.", 1234}, {"stream:-7", -7}};
  for (const auto& c : good) EXPECT_EQ(ParseStreamUrl(c.url), c.number) << c.url;
  for (const char* url : {"stream:", "stream:abc", "stream:12x.vob", "stream:1.2.vob", "stream:dir/12.vob",
                          "stream:99999999999", "stream: 12"})
    EXPECT_THROW(ParseStreamUrl(url), EVelocastError) << url;
}

TEST_F(StreamProtocol, DemuxesAndSeeksThroughTheStreamObject) {
  std::string probe;
  ASSERT_EQ(vc::test::RunCommand("ffprobe -v error -select_streams v -count_packets -show_entries "
                                 "stream=nb_read_packets -of csv=p=0 '" + programStreamFile() + "'", &probe), 0);
  const int expectedVideo = std::stoi(probe);
  const std::string bytes = data();

  for (const char* extension : {"", ".mpg"}) {
    SCOPED_TRACE(extension);
    bool destroyed = false;
    const int32_t number = addStream(&destroyed);
    TOpenedInput input;
    ASSERT_EQ(OpenInput(input, StreamUrl(number) + extension, nullptr, nullptr), 0);
    ASSERT_GE(avformat_find_stream_info(input.Context.get(), nullptr), 0);
    EXPECT_STREQ(input.Context->iformat->name, "mpeg");
    EXPECT_NEAR(input.Context->duration / double(AV_TIME_BASE), 2.0, 0.2);

    AVIOContext* io = input.Context->pb;
    EXPECT_EQ(avio_size(io), static_cast<int64_t>(bytes.size()));  // the size query, not a position
    ASSERT_EQ(avio_seek(io, 5000, SEEK_SET), 5000);
    EXPECT_EQ(avio_r8(io), static_cast<uint8_t>(bytes[5000]));
    ASSERT_EQ(avio_seek(io, 10, SEEK_CUR), 5011);
    EXPECT_EQ(avio_r8(io), static_cast<uint8_t>(bytes[5011]));

    ASSERT_GE(avformat_seek_file(input.Context.get(), -1, INT64_MIN, 0, 0, 0), 0);
    EXPECT_EQ(demuxVideoPackets(input.Context.get()), expectedVideo);
    EXPECT_TRUE(StreamTable().IsLive(number));
    EXPECT_FALSE(destroyed);

    // avio_seek itself knows no SEEK_END; the protocol's seek callback forwards it. (Called
    // behind the I/O context's back, so only once the demuxing is done.)
    EXPECT_EQ(io->seek(io->opaque, -100, SEEK_END), static_cast<int64_t>(bytes.size()) - 100);
    EXPECT_EQ(io->seek(io->opaque, 0, AVSEEK_SIZE | AVSEEK_FORCE), static_cast<int64_t>(bytes.size()));
    EXPECT_LT(io->seek(io->opaque, 0, 7), 0);

    // Closing the input destroys the object and retires its number: the URL cannot open again.
    input = TOpenedInput();
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(StreamTable().IsLive(number));
    TOpenedInput again;
    EXPECT_THROW(OpenInput(again, StreamUrl(number), nullptr, nullptr), EVelocastError);
  }
}

TEST_F(StreamProtocol, UnknownOrMalformedUrlsFailTheOpen) {
  TOpenedInput input;
  try {
    OpenInput(input, "stream:2147483000", nullptr, nullptr);
    FAIL() << "opened a number that names nothing";
  } catch (const EVelocastError& e) {
    EXPECT_NE(std::string(e.what()).find("stream:2147483000"), std::string::npos) << e.what();
  }
  EXPECT_THROW(OpenInput(input, "stream:abc", nullptr, nullptr), EVelocastError);
  EXPECT_FALSE(input.Context);
}

TEST_F(StreamProtocol, AnOpenNumberCannotBeOpenedTwice) {
  bool destroyed = false;
  const int32_t number = addStream(&destroyed);
  TOpenedInput first, second;
  ASSERT_EQ(OpenInput(first, StreamUrl(number), nullptr, nullptr), 0);
  EXPECT_THROW(OpenInput(second, StreamUrl(number), nullptr, nullptr), EVelocastError);
  EXPECT_FALSE(destroyed);
  EXPECT_GE(avformat_find_stream_info(first.Context.get(), nullptr), 0);
}

TEST_F(StreamProtocol, NumbersAreNeverReused) {
  bool a = false, b = false, c = false;
  const int32_t first = addStream(&a);
  const int32_t second = addStream(&b);
  EXPECT_GT(second, first);
  // A stream whose URL is never opened stays with the table until its creator discards it.
  StreamTable().Discard(first);
  EXPECT_TRUE(a);
  EXPECT_FALSE(StreamTable().IsLive(first));
  {
    TOpenedInput input;
    ASSERT_EQ(OpenInput(input, StreamUrl(second), nullptr, nullptr), 0);
    StreamTable().Discard(second);  // the input owns it now
    EXPECT_FALSE(b);
  }
  EXPECT_TRUE(b);
  EXPECT_GT(addStream(&c), second);
}

TEST_F(StreamProtocol, AFailingStreamEndsTheInputWithAnErrorAndIsStillDestroyed) {
  bool destroyed = false;
  const int32_t number = addStream(&destroyed, 60000);
  {
    TOpenedInput input;
    ASSERT_EQ(OpenInput(input, StreamUrl(number), nullptr, nullptr), 0);
    avformat_find_stream_info(input.Context.get(), nullptr);
    EXPECT_EQ(demuxVideoPackets(input.Context.get()), -1);
  }
  EXPECT_TRUE(destroyed);
}

TEST_F(StreamProtocol, AFailedOpenStillDestroysTheObject) {
  bool destroyed = false;
  const int32_t number = StreamTable().Add(std::make_unique<TMemoryStream>("not a media file at all", &destroyed));
  TOpenedInput input;
  EXPECT_LT(OpenInput(input, StreamUrl(number), nullptr, nullptr), 0);
  EXPECT_TRUE(destroyed);
  EXPECT_FALSE(StreamTable().IsLive(number));
}
