// The "wavcap" input on ALSA's file plugin: the device's samples in packets stamped with the wall
// clock, format parameters refused before the device is touched, a missing device, and one
// capture at a time.
#include <gtest/gtest.h>

#include <cstring>

#include "media/InputOpener.h"
#include "media/MediaLibrary.h"
#include "media/MediaLog.h"
#include "media/WaveCapture.h"
#include "support/CaptureDevice.h"

extern "C" {
#include <libavutil/time.h>
}

using namespace vc;
using namespace vc::test;

namespace {

class TLogLines final : public media::IMediaLogSink {
 public:
  int MediaLogLevel() const override { return AV_LOG_ERROR; }
  void MediaLog(int, const std::string& line) override { Lines.push_back(line); }
  std::vector<std::string> Lines;
};

class WavcapTest : public ::testing::Test {
 protected:
  // Opens a capture as the conversion engine does, with its format parameters.
  int Open(media::TOpenedInput& input, const char* rate = "44100", const char* channels = "1") {
    media::TDictionary parameters;
    parameters.Set("sample_rate", rate);
    parameters.Set("channels", channels);
    return media::OpenInput(input, "default", media::TInputFormat::Find("wavcap"), parameters.Address());
  }

  // The next packet, waiting while the capture has none; false at the end or after an error.
  bool Read(media::TOpenedInput& input, AVPacket* packet, int64_t& before, int64_t& after) {
    for (;;) {
      before = av_gettime();
      const int rc = media::ReadInputPacket(input, packet);
      after = av_gettime();
      if (rc != AVERROR(EAGAIN)) return rc == 0;
    }
  }

  media::TMediaLibraryUse Libraries;
  TLogLines Log;
  media::TMediaLogThread LogThread{&Log};
};

}  // namespace

TEST_F(WavcapTest, PacketsHoldTheDevicesSamplesStampedWithTheWallClock) {
  const std::vector<int16_t> sound = TestSoundSamples(3 * 44100);
  TTestCaptureDevice device(sound);
  media::TOpenedInput input;
  const int64_t opened = av_gettime();
  ASSERT_EQ(Open(input), 0);
  ASSERT_EQ(input.Context->nb_streams, 1u);
  const AVStream* stream = input.Context->streams[0];
  EXPECT_EQ(stream->codecpar->codec_id, AV_CODEC_ID_PCM_S16LE);
  EXPECT_EQ(stream->codecpar->sample_rate, 44100);
  EXPECT_EQ(stream->codecpar->ch_layout.nb_channels, 1);
  EXPECT_EQ(stream->time_base.num, 1);
  EXPECT_EQ(stream->time_base.den, 1000000);

  std::vector<uint8_t> recorded;
  media::TPacketPtr packet = media::MakePacket();
  while (recorded.size() < sound.size() * 2) {
    int64_t before = 0, after = 0;
    ASSERT_TRUE(Read(input, packet.get(), before, after));
    // Whole recording buffers, ending when the packet was taken, beginning its length earlier.
    EXPECT_EQ(packet->size % media::kWaveCaptureBufferBytes, 0);
    EXPECT_EQ(packet->duration, static_cast<int64_t>(packet->size) * 1000000 / (44100 * 2));
    EXPECT_GE(packet->pts + packet->duration, before);
    EXPECT_LE(packet->pts + packet->duration, after);
    EXPECT_GT(packet->pts, opened - 60LL * 1000000);
    recorded.insert(recorded.end(), packet->data, packet->data + packet->size);
    av_packet_unref(packet.get());
  }
  ASSERT_GE(recorded.size(), sound.size() * 2);
  EXPECT_EQ(std::memcmp(recorded.data(), sound.data(), sound.size() * 2), 0);
  EXPECT_TRUE(Log.Lines.empty());
}

TEST_F(WavcapTest, ParametersThatAreNotPositiveFailBeforeTheDeviceIsTouched) {
  TTestCaptureDevice missing;  // touching it would fail with -5 and a log line
  for (const auto& [rate, channels] : {std::pair{"0", "1"}, {"44100", "0"}, {"-8000", "2"}, {"44100", "-1"}, {"x", "1"}}) {
    media::TOpenedInput input;
    EXPECT_EQ(Open(input, rate, channels), -1) << rate << " " << channels;
  }
  EXPECT_TRUE(Log.Lines.empty()) << Log.Lines.front();
}

TEST_F(WavcapTest, AMissingDeviceFailsWithItsErrorText) {
  TTestCaptureDevice missing;
  media::TOpenedInput input;
  EXPECT_EQ(Open(input), -5);
  EXPECT_EQ(input.Context, nullptr);
  ASSERT_FALSE(Log.Lines.empty());
  EXPECT_EQ(Log.Lines.back(), "wave capture error:No such file or directory");
}

TEST_F(WavcapTest, OneCaptureAtATime) {
  TTestCaptureDevice device(TestSoundSamples(44100));
  {
    media::TOpenedInput first;
    ASSERT_EQ(Open(first), 0);
    media::TOpenedInput second;
    EXPECT_EQ(Open(second), AVERROR(EBUSY));
    ASSERT_FALSE(Log.Lines.empty());
    EXPECT_EQ(Log.Lines.back(), "wave capture error:another sound capture is recording");
  }
  // Closing the first ends its capture and frees the device for the next.
  media::TOpenedInput third;
  EXPECT_EQ(Open(third, "22050", "2"), 0);
  media::TPacketPtr packet = media::MakePacket();
  int64_t before = 0, after = 0;
  ASSERT_TRUE(Read(third, packet.get(), before, after));
  EXPECT_EQ(packet->duration, static_cast<int64_t>(packet->size) * 1000000 / (22050 * 4));
}
