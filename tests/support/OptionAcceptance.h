#pragma once
// Whether FFmpeg accepts a translated option where the translation says it lives: set on a fresh
// encoder context (generic or private part) or a fresh muxer context (generic or private part).
// Header-only: suites that include it link the media libraries themselves.
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include "media/AVHandles.h"
#include "media/LegacyOptions.h"

namespace vc::test {

// Empty when accepted, else what failed. `encoder` and `muxer` name the contexts to try.
inline std::string OptionRefusal(const media::TTranslatedOption& option, const std::string& encoder,
                                 const std::string& muxer) {
  using media::TLegacyTarget;
  const char* name = option.Name.c_str();
  const char* value = option.Value.c_str();
  const std::string what = option.Name + "=" + option.Value;
  switch (option.Target) {
    case TLegacyTarget::Codec:
    case TLegacyTarget::EncoderPrivate: {
      const AVCodec* codec = avcodec_find_encoder_by_name(encoder.c_str());
      if (!codec) return "no encoder " + encoder;
      media::TCodecContextPtr ctx(avcodec_alloc_context3(codec));
      void* target = option.Target == TLegacyTarget::Codec ? static_cast<void*>(ctx.get()) : ctx->priv_data;
      if (!target) return encoder + " has no private options";
      return av_opt_set(target, name, value, 0) >= 0 ? "" : what + " refused by " + encoder;
    }
    case TLegacyTarget::Muxer:
    case TLegacyTarget::Format: {
      AVFormatContext* raw = nullptr;
      if (avformat_alloc_output_context2(&raw, nullptr, muxer.c_str(), nullptr) < 0) return "no muxer " + muxer;
      media::TOutputFormatPtr ctx(raw);
      void* target = option.Target == TLegacyTarget::Format ? static_cast<void*>(ctx.get()) : ctx->priv_data;
      if (!target) return muxer + " has no private options";
      return av_opt_set(target, name, value, 0) >= 0 ? "" : what + " refused by " + muxer;
    }
    case TLegacyTarget::AsGiven: return what + " is not translated";
    case TLegacyTarget::Dropped: return "dropped: " + option.LogText;
  }
  return "unknown target";
}

}  // namespace vc::test
