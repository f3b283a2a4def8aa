#include "media/LegacyOptions.h"

#include <gtest/gtest.h>

#include "support/OptionAcceptance.h"

namespace vc::media {
namespace {

using T = TLegacyTarget;

struct TCase {
  const char* Name;
  const char* Value;
  std::vector<TTranslatedOption> Expected;
  const char* Encoder;  // where the Codec and EncoderPrivate results are tried
  const char* Muxer;    // where the Muxer and Format results are tried
};

TTranslatedOption codec(const char* n, const char* v) { return {T::Codec, n, v, ""}; }
TTranslatedOption priv(const char* n, const char* v) { return {T::EncoderPrivate, n, v, ""}; }
TTranslatedOption muxer(const char* n, const char* v) { return {T::Muxer, n, v, ""}; }
TTranslatedOption format(const char* n, const char* v) { return {T::Format, n, v, ""}; }
TTranslatedOption dropped(const char* n, const char* v) {
  return {T::Dropped, "", "", std::string("Option ") + n + "=" + v + " has no equivalent in this media library and is ignored"};
}

// One row per table entry, with the values the presets and the catalogue write.
const TCase kCases[] = {
    {"coder", "1", {priv("coder", "1")}, "libx264", ""},
    {"flags", "+loop", {codec("flags", "+loop")}, "libx264", ""},
    {"flags", "bitexact", {codec("flags", "+bitexact")}, "mpeg4", ""},
    {"flags", "+scan_offset", {priv("scan_offset", "1")}, "mpeg2video", ""},
    {"flags", "+loop+naq", {codec("flags", "+loop"), dropped("flags", "+naq")}, "libx264", ""},
    {"cmp", "+chroma", {codec("cmp", "+chroma")}, "libx264", ""},
    {"partitions", "+parti8x8+parti4x4+partp8x8+partb8x8", {priv("partitions", "i8x8,i4x4,p8x8,b8x8")}, "libx264", ""},
    {"partitions", "-parti8x8+parti4x4+partp8x8-partp4x4-partb8x8", {priv("partitions", "i4x4,p8x8")}, "libx264", ""},
    {"partitions", "-parti8x8-parti4x4-partp8x8-partp4x4-partb8x8", {priv("partitions", "none")}, "libx264", ""},
    {"me_method", "tesa", {priv("me_method", "tesa")}, "libx264", ""},
    {"subq", "7", {codec("subq", "7")}, "libx264", ""},
    {"me_range", "16", {codec("me_range", "16")}, "libx264", ""},
    {"g", "250", {codec("g", "250")}, "libx264", ""},
    {"keyint_min", "25", {codec("keyint_min", "25")}, "libx264", ""},
    {"sc_threshold", "40", {priv("sc_threshold", "40")}, "libx264", ""},
    {"i_qfactor", "0.71", {codec("i_qfactor", "0.71")}, "libx264", ""},
    {"b_strategy", "2", {priv("b_strategy", "2")}, "libx264", ""},
    {"qcomp", "0.6", {codec("qcomp", "0.6")}, "libx264", ""},
    {"qmin", "10", {codec("qmin", "10")}, "libx264", ""},
    {"qmax", "51", {codec("qmax", "51")}, "libx264", ""},
    {"qdiff", "4", {codec("qdiff", "4")}, "libx264", ""},
    {"bf", "3", {codec("bf", "3")}, "libx264", ""},
    {"refs", "16", {codec("refs", "16")}, "libx264", ""},
    {"directpred", "3", {priv("direct-pred", "3")}, "libx264", ""},
    {"trellis", "2", {codec("trellis", "2")}, "libx264", ""},
    {"cqp", "0", {priv("qp", "0")}, "libx264", ""},
    {"flags2",
     "+mixed_refs+wpred+dct8x8+fastpskip+mbtree",
     {priv("mixed-refs", "1"), priv("weightb", "1"), priv("8x8dct", "1"), priv("fast-pskip", "1"), priv("mbtree", "1")},
     "libx264",
     ""},
    {"flags2",
     "-bpyramid-wpred-mixed_refs-dct8x8-fastpskip+mbtree",
     {priv("b-pyramid", "none"), priv("weightb", "0"), priv("mixed-refs", "0"), priv("8x8dct", "0"),
      priv("fast-pskip", "0"), priv("mbtree", "1")},
     "libx264",
     ""},
    {"flags2", "+bpyramid+aud+psy+ssim+intra_refresh",
     {priv("b-pyramid", "normal"), priv("aud", "1"), priv("psy", "1"), priv("ssim", "1"), priv("intra-refresh", "1")},
     "libx264", ""},
    {"flags2", "+fast+skiprd", {codec("flags2", "+fast"), dropped("flags2", "+skiprd")}, "libx264", ""},
    {"flags2", "+reservoir", {priv("reservoir", "1")}, "libmp3lame", ""},
    {"wpredp", "2", {priv("wpredp", "2")}, "libx264", ""},
    {"mbd", "rd", {codec("mbd", "rd")}, "libx264", ""},
    {"level", "41", {codec("level", "41")}, "libx264", ""},
    {"maxrate", "1000000", {codec("maxrate", "1000000")}, "mpeg4", ""},
    {"minrate", "1150000", {codec("minrate", "1150000")}, "mpeg1video", ""},
    {"bufsize", "4096k", {codec("bufsize", "4096k")}, "mpeg4", ""},
    {"packetsize", "2324", {format("packetsize", "2324")}, "", "vcd"},
    {"muxrate", "10080000", {muxer("muxrate", "10080000")}, "", "dvd"},
    {"preload", "440000", {muxer("preload", "440000")}, "", "vcd"},
};

TEST(LegacyOptions, EveryEntryTranslatesToWhatFFmpegAccepts) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.Name) + "=" + c.Value);
    const auto result = TranslateLegacyOption(c.Name, c.Value);
    EXPECT_EQ(result, c.Expected);
    for (const auto& option : result)
      if (option.Target != T::Dropped) {
        EXPECT_EQ(test::OptionRefusal(option, c.Encoder, c.Muxer), "");
      }
  }
}

TEST(LegacyOptions, OldFormsThatFFmpegRefusesOrMisreads) {
  // Why the table exists: these old lines fail or do something else when passed through.
  const AVCodec* x264 = avcodec_find_encoder_by_name("libx264");
  ASSERT_NE(x264, nullptr);
  TCodecContextPtr ctx(avcodec_alloc_context3(x264));
  EXPECT_LT(av_opt_set(ctx.get(), "directpred", "3", AV_OPT_SEARCH_CHILDREN), 0);
  EXPECT_LT(av_opt_set(ctx.get(), "cqp", "0", AV_OPT_SEARCH_CHILDREN), 0);
  EXPECT_LT(av_opt_set(ctx.get(), "flags2", "+mixed_refs", AV_OPT_SEARCH_CHILDREN), 0);
  EXPECT_LT(av_opt_set(ctx.get(), "flags", "+scan_offset", AV_OPT_SEARCH_CHILDREN), 0);
  EXPECT_LT(av_opt_set(ctx.get(), "muxrate", "1411200", AV_OPT_SEARCH_CHILDREN), 0);
}

TEST(LegacyOptions, TranslatedValuesMeanWhatTheOldOnesMeant) {
  const AVCodec* mpeg4 = avcodec_find_encoder_by_name("mpeg4");
  TCodecContextPtr ctx(avcodec_alloc_context3(mpeg4));
  const auto set = [&](const char* name, const char* value) {
    for (const auto& o : TranslateLegacyOption(name, value)) ASSERT_GE(av_opt_set(ctx.get(), o.Name.c_str(), o.Value.c_str(), 0), 0);
  };
  set("bufsize", "4096k");
  set("cmp", "+chroma");
  set("flags", "+loop");
  set("flags", "bitexact");
  EXPECT_EQ(ctx->rc_buffer_size, 4096000);
  EXPECT_EQ(ctx->me_cmp, 256);  // FF_CMP_CHROMA
  // A bare old flag list must not clear the flags set before it.
  EXPECT_EQ(ctx->flags & (AV_CODEC_FLAG_LOOP_FILTER | AV_CODEC_FLAG_BITEXACT),
            AV_CODEC_FLAG_LOOP_FILTER | AV_CODEC_FLAG_BITEXACT);
}

TEST(LegacyOptions, NamesOutsideTheTablePassAsGiven) {
  const std::vector<TTranslatedOption> expected = {{T::AsGiven, "crf", "23", ""}};
  EXPECT_EQ(TranslateLegacyOption("crf", "23"), expected);
  // Names compare exactly, as the library compares them.
  EXPECT_EQ(TranslateLegacyOption("CQP", "0").front().Target, T::AsGiven);
  // Today's partition syntax is left alone.
  EXPECT_EQ(TranslateLegacyOption("partitions", "all").front(), priv("partitions", "all"));
}

}  // namespace
}  // namespace vc::media
