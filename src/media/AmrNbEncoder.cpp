#include "media/AmrNbEncoder.h"

#include <opencore-amrnb/interf_enc.h>

#include <algorithm>
#include <array>
#include <cstdlib>

extern "C" {
#include <libavutil/channel_layout.h>
}

#include "base/Errors.h"

namespace vc::media {

namespace {

constexpr std::array<int, 8> kModeBitRates = {4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};
// The largest frame the library writes: 12.2 kbit/s is 31 bytes plus the header byte.
constexpr int kMaxPacket = 32;

}  // namespace

int TAmrNbEncoder::NearestMode(int64_t bitRate) {
  int best = 0;
  for (int mode = 1; mode < static_cast<int>(kModeBitRates.size()); ++mode)
    if (std::llabs(kModeBitRates[static_cast<size_t>(mode)] - bitRate) <
        std::llabs(kModeBitRates[static_cast<size_t>(best)] - bitRate))
      best = mode;
  return best;
}

int TAmrNbEncoder::ModeBitRate(int mode) { return kModeBitRates.at(static_cast<size_t>(mode)); }

TAmrNbEncoder::TAmrNbEncoder(int64_t bitRate) : FState(Encoder_Interface_init(0)), FMode(NearestMode(bitRate)) {
  if (!FState) throw base::EVelocastError("Can not start the AMR-NB encoder");
}

TAmrNbEncoder::~TAmrNbEncoder() { Encoder_Interface_exit(FState); }

int TAmrNbEncoder::BitRate() const { return ModeBitRate(FMode); }

std::vector<uint8_t> TAmrNbEncoder::EncodeFrame(std::span<const int16_t> samples) {
  VC_ASSERT(samples.size() <= static_cast<size_t>(kFrameSamples));
  std::array<int16_t, kFrameSamples> frame{};
  std::copy(samples.begin(), samples.end(), frame.begin());
  std::vector<uint8_t> packet(kMaxPacket);
  const int size = Encoder_Interface_Encode(FState, static_cast<enum Mode>(FMode), frame.data(), packet.data(), 0);
  VC_ASSERT(size > 0 && size <= kMaxPacket);
  packet.resize(static_cast<size_t>(size));
  return packet;
}

void TAmrNbEncoder::FillCodecParameters(AVCodecParameters& parameters) const {
  parameters.codec_type = AVMEDIA_TYPE_AUDIO;
  parameters.codec_id = AV_CODEC_ID_AMR_NB;
  parameters.sample_rate = kSampleRate;
  av_channel_layout_uninit(&parameters.ch_layout);
  av_channel_layout_default(&parameters.ch_layout, kChannels);
  parameters.format = AV_SAMPLE_FMT_S16;
  parameters.bit_rate = BitRate();
  parameters.frame_size = kFrameSamples;
}

}  // namespace vc::media
