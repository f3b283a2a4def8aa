#include "media/AmrNbEncoder.h"

#include <gtest/gtest.h>

#include <cmath>

extern "C" {
#include <libavformat/avformat.h>
}

#include "media/AVHandles.h"
#include "support/TestSupport.h"

namespace vc::media {
namespace {

// Two seconds of a 440 Hz tone at 8000 Hz.
std::vector<int16_t> sine(int samples) {
  std::vector<int16_t> s(static_cast<size_t>(samples));
  for (int i = 0; i < samples; ++i) s[static_cast<size_t>(i)] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / 8000.0));
  return s;
}

std::vector<std::vector<uint8_t>> encode(TAmrNbEncoder& encoder, const std::vector<int16_t>& samples) {
  std::vector<std::vector<uint8_t>> packets;
  for (size_t at = 0; at < samples.size(); at += TAmrNbEncoder::kFrameSamples) {
    const size_t n = std::min<size_t>(TAmrNbEncoder::kFrameSamples, samples.size() - at);
    packets.push_back(encoder.EncodeFrame(std::span(samples).subspan(at, n)));
  }
  return packets;
}

TEST(AmrNbEncoder, ChoosesTheNearestMode) {
  const struct {
    int64_t rate;
    int mode;
  } cases[] = {{12200, 7}, {64000, 7}, {12000, 7}, {10000, 6}, {8000, 5}, {5525, 1}, {0, 0}, {-5, 0}};
  for (const auto& c : cases) EXPECT_EQ(TAmrNbEncoder::NearestMode(c.rate), c.mode) << c.rate;
  EXPECT_EQ(TAmrNbEncoder(12200).BitRate(), 12200);
  EXPECT_EQ(TAmrNbEncoder(7000).BitRate(), 6700);
}

TEST(AmrNbEncoder, FFmpegsDecoderHearsTheTone) {
  TAmrNbEncoder encoder(12200);
  const auto packets = encode(encoder, sine(16000 - 60));  // the last frame is a short one
  ASSERT_EQ(packets.size(), 100u);
  for (const auto& p : packets) ASSERT_EQ(p.size(), 32u);
  EXPECT_EQ(packets[0][0], 0x3c);  // mode 7, quality bit set

  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_AMR_NB);
  ASSERT_NE(codec, nullptr);
  TCodecContextPtr decoder(avcodec_alloc_context3(codec));
  decoder->sample_rate = 8000;
  av_channel_layout_default(&decoder->ch_layout, 1);
  ASSERT_EQ(avcodec_open2(decoder.get(), codec, nullptr), 0);
  std::vector<float> decoded;
  auto packet = MakePacket();
  auto frame = MakeFrame();
  for (const auto& p : packets) {
    ASSERT_EQ(av_new_packet(packet.get(), static_cast<int>(p.size())), 0);
    std::copy(p.begin(), p.end(), packet->data);
    ASSERT_EQ(avcodec_send_packet(decoder.get(), packet.get()), 0);
    av_packet_unref(packet.get());
    while (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
      ASSERT_EQ(frame->format, AV_SAMPLE_FMT_FLTP);  // one plane: mono
      const auto* s = reinterpret_cast<const float*>(frame->data[0]);
      decoded.insert(decoded.end(), s, s + frame->nb_samples);
    }
  }
  ASSERT_EQ(decoded.size(), 16000u);
  // The second second: 440 Hz crosses zero 880 times a second.
  int crossings = 0;
  double energy = 0;
  for (size_t i = 8001; i < 16000 - 160; ++i) {
    crossings += (decoded[i - 1] < 0) != (decoded[i] < 0);
    energy += decoded[i] * decoded[i];
  }
  const double rms = std::sqrt(energy / (8000 - 161));
  EXPECT_NEAR(crossings * 8000.0 / (8000 - 161), 880, 30);
  // A speech codec loses some level on a pure tone (about 3 dB here), but not most of it.
  const double inputRms = 8000 / 32768.0 / std::sqrt(2.0);
  EXPECT_GT(rms, inputRms / 2);
  EXPECT_LT(rms, inputRms * 1.2);
}

TEST(AmrNbEncoder, PacketsMuxIntoA3gpFile) {
  test::TTempDir dir;
  const std::string file = dir.File("tone.3gp");
  TAmrNbEncoder encoder(12200);
  AVFormatContext* raw = nullptr;
  ASSERT_GE(avformat_alloc_output_context2(&raw, nullptr, "3gp", file.c_str()), 0);
  TOutputFormatPtr muxer(raw);
  AVStream* stream = avformat_new_stream(muxer.get(), nullptr);
  encoder.FillCodecParameters(*stream->codecpar);
  stream->time_base = {1, TAmrNbEncoder::kSampleRate};
  ASSERT_GE(avio_open(&muxer->pb, file.c_str(), AVIO_FLAG_WRITE), 0);
  ASSERT_GE(avformat_write_header(muxer.get(), nullptr), 0);
  int64_t pts = 0;  // samples
  auto packet = MakePacket();
  for (const auto& p : encode(encoder, sine(16000))) {
    ASSERT_EQ(av_new_packet(packet.get(), static_cast<int>(p.size())), 0);
    std::copy(p.begin(), p.end(), packet->data);
    packet->pts = packet->dts = av_rescale_q(pts, {1, 8000}, stream->time_base);
    packet->duration = av_rescale_q(TAmrNbEncoder::kFrameSamples, {1, 8000}, stream->time_base);
    pts += TAmrNbEncoder::kFrameSamples;
    ASSERT_GE(av_interleaved_write_frame(muxer.get(), packet.get()), 0);
  }
  ASSERT_GE(av_write_trailer(muxer.get()), 0);
  muxer.reset();

  std::string probe;
  ASSERT_EQ(test::RunCommand("ffprobe -v error -show_entries stream=codec_name,sample_rate,channels:format=duration "
                             "-of default=nw=1 '" + file + "'",
                             &probe),
            0);
  EXPECT_NE(probe.find("codec_name=amr_nb"), std::string::npos) << probe;
  EXPECT_NE(probe.find("sample_rate=8000"), std::string::npos) << probe;
  EXPECT_NE(probe.find("channels=1"), std::string::npos) << probe;
  const auto at = probe.find("duration=");
  ASSERT_NE(at, std::string::npos);
  EXPECT_NEAR(std::stod(probe.substr(at + 9)), 2.0, 0.05);
}

}  // namespace
}  // namespace vc::media
