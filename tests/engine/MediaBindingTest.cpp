// The media library binding (counted users, registration) and the option routine that finds an
// option wherever today's library keeps it.
#include <gtest/gtest.h>

#include "media/AVHandles.h"
#include "media/MediaLibrary.h"
#include "media/MediaLog.h"
#include "media/MediaOptions.h"

extern "C" {
#include <libavutil/opt.h>
}

using namespace vc::media;

TEST(MediaLibraryTest, UsersAreCountedAndTheLastOneUnregisters) {
  const int before = TMediaLibrary::Users();
  {
    TMediaLibraryUse first;
    EXPECT_TRUE(TMediaLibrary::Registered());
    {
      TMediaLibraryUse second;
      EXPECT_EQ(TMediaLibrary::Users(), before + 2);
    }
    EXPECT_EQ(TMediaLibrary::Users(), before + 1);
    EXPECT_TRUE(TMediaLibrary::Registered());
  }
  EXPECT_EQ(TMediaLibrary::Users(), before);
  if (before == 0) {
    EXPECT_FALSE(TMediaLibrary::Registered());
  }
  TMediaLibraryUse again;
  EXPECT_TRUE(TMediaLibrary::Registered());
}

TEST(MediaLibraryTest, LogLinesReachOnlyTheSinkOfTheirThread) {
  struct TSink final : IMediaLogSink {
    int MediaLogLevel() const override { return AV_LOG_WARNING; }
    void MediaLog(int level, const std::string& line) override { Lines.push_back(std::to_string(level) + " " + line); }
    std::vector<std::string> Lines;
  };
  TMediaLibraryUse library;
  TSink mine, other;
  std::thread([&] {
    TMediaLogThread registration(&other);
    av_log(nullptr, AV_LOG_ERROR, "from the other thread\n");
  }).join();
  {
    TMediaLogThread registration(&mine);
    av_log(nullptr, AV_LOG_WARNING, "a warning %d\n", 7);
    av_log(nullptr, AV_LOG_INFO, "too detailed\n");
  }
  av_log(nullptr, AV_LOG_ERROR, "from no registered thread\n");
  EXPECT_EQ(mine.Lines, (std::vector<std::string>{"24 a warning 7"}));
  EXPECT_EQ(other.Lines, (std::vector<std::string>{"16 from the other thread"}));
}

namespace {

TCodecContextPtr encoderContext(const char* name) {
  return TCodecContextPtr(avcodec_alloc_context3(avcodec_find_encoder_by_name(name)));
}

int64_t intOption(void* object, const char* name) {
  int64_t value = 0;
  av_opt_get_int(object, name, AV_OPT_SEARCH_CHILDREN, &value);
  return value;
}

}  // namespace

TEST(MediaOptionsTest, GenericCodecOptionsGoToTheMediaTypesThatHaveThem) {
  TMediaOptions options;
  EXPECT_EQ(options.SetOption("g", "12"), TSetOptionResult::Set);
  EXPECT_EQ(options.SetOption("b", "700000"), TSetOptionResult::Set);
  EXPECT_EQ(options.SetOption("ab", "64000"), TSetOptionResult::Set);
  EXPECT_EQ(options.SetOption("g", "twelve"), TSetOptionResult::InvalidValue);
  EXPECT_EQ(options.SetOption("nosuchoption", "1"), TSetOptionResult::Unknown);
  EXPECT_EQ(options.OptionNames(), (std::vector<std::string>{"g", "b", "ab"}));

  auto video = encoderContext("mpeg4");
  auto audio = encoderContext("aac");
  options.ApplyCodecOptions(video.get(), AVMEDIA_TYPE_VIDEO, AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
  options.ApplyCodecOptions(audio.get(), AVMEDIA_TYPE_AUDIO, AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
  EXPECT_EQ(video->gop_size, 12);
  EXPECT_EQ(video->bit_rate, 700000);
  // The video bit rate does not become the audio one, although both names now share a field.
  EXPECT_EQ(audio->bit_rate, 64000);
}

TEST(MediaOptionsTest, FormatScalerAndPrivateOptionsAreFoundWhereTheyLive) {
  TMediaOptions options;
  options.SetPrivateTargets(avcodec_find_encoder_by_name("libx264"), avcodec_find_encoder_by_name("aac"), nullptr,
                            av_guess_format("mp4", nullptr, nullptr));
  EXPECT_EQ(options.SetOption("packetsize", "2048"), TSetOptionResult::Set);
  EXPECT_EQ(options.SetOption("sws_flags", "lanczos"), TSetOptionResult::Set);
  EXPECT_EQ(options.SetOption("preset", "veryfast"), TSetOptionResult::Set);
  EXPECT_EQ(options.SetOption("aac_coder", "fast"), TSetOptionResult::Set);
  EXPECT_EQ(options.SetOption("movflags", "+faststart"), TSetOptionResult::Set);
  EXPECT_EQ(options.SetOption("movflags", "+nosuchflag"), TSetOptionResult::InvalidValue);
  // An old name of a stored preset is translated first.
  EXPECT_EQ(options.SetOption("directpred", "3"), TSetOptionResult::Set);

  EXPECT_EQ(options.ScalerFlags(), SWS_LANCZOS);
  TDictionary format;
  options.FillFormatOptions(format, AV_OPT_FLAG_ENCODING_PARAM);
  EXPECT_STREQ(format.Get("packetsize"), "2048");
  TDictionary video, audio, muxer;
  options.FillEncoderPrivateOptions(AVMEDIA_TYPE_VIDEO, video);
  options.FillEncoderPrivateOptions(AVMEDIA_TYPE_AUDIO, audio);
  options.FillMuxerPrivateOptions(muxer);
  EXPECT_STREQ(video.Get("preset"), "veryfast");
  EXPECT_STREQ(video.Get("direct-pred"), "3");
  EXPECT_EQ(video.Get("aac_coder"), nullptr);
  EXPECT_STREQ(audio.Get("aac_coder"), "fast");
  EXPECT_STREQ(muxer.Get("movflags"), "+faststart");

  // The private options take effect when the encoder opens with them.
  auto encoder = encoderContext("aac");
  encoder->sample_rate = 48000;
  encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
  av_channel_layout_default(&encoder->ch_layout, 2);
  ASSERT_EQ(avcodec_open2(encoder.get(), encoder->codec, audio.Address()), 0);
  EXPECT_EQ(intOption(encoder->priv_data, "aac_coder"), 2);  // "fast"
}
