// Set-up of a conversion: stream maps, bit rates and codec options, forced formats, inputs.
#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include "base/Errors.h"
#include "base/Format.h"
#include "engine/AudioPath.h"
#include "engine/Conversion.h"
#include "engine/TwoPassLog.h"
#include "engine/VideoPath.h"
#include "media/EncoderLookup.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace vc::engine {

using base::EVelocastError;
using base::Format;

TConversion::TConversion(IConversionHost& host, const TAVConvertOptions& options, const base::TStrings& inputFiles,
                         const base::TStrings& outputFiles)
    : FHost(host),
      FInputNames(inputFiles),
      FOutputNames(outputFiles),
      FPacket(media::MakePacket()),
      FCopy(media::MakePacket()),
      FFrame(media::MakeFrame()),
      FFiltered(media::MakeFrame()) {
  FOptions.Assign(options);
}

TConversion::~TConversion() {
  // Streams go before the files that hold them, outputs before inputs.
  FOutputStreams.clear();
  FOutputFiles.clear();
  FInputStreams.clear();
  FInputFiles.clear();
  av_channel_layout_uninit(&FAudioLayout);
}

void TConversion::showErrorBox(const std::string& text) { FHost.ShowErrorBox(text); }

namespace {

// A decimal integer of a stream map line; anything else is the platform's conversion error.
int mapNumber(const std::string& text) {
  int32_t value = 0;
  if (!base::TryParseInt32(text, value))
    throw base::EConvertError(Format("'%s' is not a valid integer value", text.c_str()));
  return value;
}

// A codec named by the option set: none for an empty name, otherwise it must exist and be of type.
const AVCodec* findNamedCodec(const std::string& name, AVMediaType type, bool encoder) {
  if (name.empty()) return nullptr;
  const AVCodec* codec = encoder ? media::FindEncoder(name).Codec : avcodec_find_decoder_by_name(name.c_str());
  if (!codec) throw EVelocastError("Unknown Codec Name");
  if (codec->type != type) throw EVelocastError("Invalid codec type");
  return codec;
}

}  // namespace

void TConversion::SetUp() {
  parseStreamMaps();
  choosePrivateOptionTargets();
  if (FOptions.AudioOptions.Bitrate != 0) setOption("ab", std::to_string(FOptions.AudioOptions.Bitrate));
  if (FOptions.VideoOptions.Bitrate != 0) setOption("b", std::to_string(FOptions.VideoOptions.Bitrate));
  for (int i = 0; i < FOptions.CodecOptions.Count(); ++i)
    setOption(FOptions.CodecOptions.Names(i), FOptions.CodecOptions.ValueFromIndex(i));
  resolveForcedFormats();
  FPixelFormatForced = FOptions.VideoOptions.PixelFormat >= 0;
  for (int i = 0; i < FInputNames.Count(); ++i) openInputFile(i);
  refuseOverwritingInputs();
  for (int i = 0; i < FOutputNames.Count(); ++i) openOutputFile(i);
}

void TConversion::parseStreamMaps() {
  FStreamMaps.clear();
  for (int i = 0; i < FOptions.StreamMaps.Count(); ++i) {
    TStreamMap map;
    map.File = mapNumber(FOptions.StreamMaps.Names(i));
    map.Stream = mapNumber(FOptions.StreamMaps.ValueFromIndex(i));
    map.SyncFile = map.File;
    map.SyncStream = map.Stream;
    FStreamMaps.push_back(map);
  }
}

int TConversion::setOption(const std::string& name, const std::string& value) {
  switch (FMediaOptions.SetOption(name, value)) {
    case media::TSetOptionResult::Set:
      return 0;
    case media::TSetOptionResult::InvalidValue:
      showErrorBox("Invalid value for Option!");
      return -1;
    case media::TSetOptionResult::Dropped:
      return -1;  // its one log line is written
    case media::TSetOptionResult::Unknown:
      // Not worth a box (stored settings may carry names of other library builds), but a
      // setting that has no effect must not vanish without a trace.
      FHost.EngineLog(AV_LOG_WARNING,
                      Format("Option %s=%s is not known to this media library and is ignored", name.c_str(), value.c_str()));
      break;
  }
  return -1;
}

// Private options belong to the encoders and the muxer the outputs will use, so those are worked
// out here already, the same way the outputs will choose them; names that turn out wrong are
// reported when the outputs are opened.
void TConversion::choosePrivateOptionTargets() {
  const std::string firstOutput = FOutputNames.Empty() ? std::string() : FOutputNames[0];
  const AVOutputFormat* muxer = nullptr;
  if (!FOptions.OutputFormat.empty()) muxer = av_guess_format(FOptions.OutputFormat.c_str(), nullptr, nullptr);
  if (!muxer && !firstOutput.empty()) muxer = av_guess_format(nullptr, firstOutput.c_str(), nullptr);
  auto encoderFor = [&](const std::string& name, AVMediaType type) -> const AVCodec* {
    if (!name.empty()) return media::FindEncoder(name).Codec;  // our own encoders have no private options
    if (!muxer || type == AVMEDIA_TYPE_SUBTITLE) return nullptr;
    return avcodec_find_encoder(av_guess_codec(muxer, nullptr, firstOutput.c_str(), nullptr, type));
  };
  FMediaOptions.SetPrivateTargets(
      FOptions.VideoOptions.VideoStreamCopy ? nullptr
                                            : encoderFor(FOptions.VideoOptions.EncoderVideoCodecName, AVMEDIA_TYPE_VIDEO),
      FOptions.AudioOptions.AudioStreamCopy ? nullptr
                                            : encoderFor(FOptions.AudioOptions.EncoderAudioCodecName, AVMEDIA_TYPE_AUDIO),
      FOptions.SubtitleOptions.SubtitleStreamCopy
          ? nullptr
          : encoderFor(FOptions.SubtitleOptions.SubtitleCodecName, AVMEDIA_TYPE_SUBTITLE),
      muxer);
}

void TConversion::resolveForcedFormats() {
  if (FOptions.OutputFormat.empty() && FOptions.InputFormat.empty()) return;
  FInputFormat = FOptions.InputFormat.empty() ? media::TInputFormat() : media::TInputFormat::Find(FOptions.InputFormat);
  FOutputFormat = FOptions.OutputFormat.empty() ? nullptr : av_guess_format(FOptions.OutputFormat.c_str(), nullptr, nullptr);
  if (!FInputFormat && !FOutputFormat)
    throw EVelocastError(Format("Unknown input %s or Output format %s", FOptions.InputFormat.c_str(),
                                FOptions.OutputFormat.c_str()));
}

void TConversion::openInputFile(int index) {
  VC_ASSERT(index >= 0 && index < FInputNames.Count());
  const TVideoOptions& video = FOptions.VideoOptions;

  // Parameters for formats that cannot tell them by themselves (raw data, capture devices).
  media::TDictionary parameters;
  parameters.Set("sample_rate", "44100");
  parameters.Set("channels", "1");
  if (video.FrameRate.num > 0 && video.FrameRate.den > 0)
    parameters.Set("framerate", Format("%d/%d", video.FrameRate.num, video.FrameRate.den).c_str());
  if (FFrameWidth > 0 && FFrameHeight > 0)
    parameters.Set("video_size", Format("%dx%d", FFrameWidth, FFrameHeight).c_str());
  if (const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(video.PixelFormat)))
    parameters.Set("pixel_format", name);
  if (FOptions.GrabOptions.VideoChannel != 0)
    parameters.Set("channel", std::to_string(FOptions.GrabOptions.VideoChannel).c_str());
  if (!FOptions.GrabOptions.VideoStandard.empty()) parameters.Set("standard", FOptions.GrabOptions.VideoStandard.c_str());
  FMediaOptions.FillFormatOptions(parameters, AV_OPT_FLAG_DECODING_PARAM);

  const AVCodec* videoDecoder = findNamedCodec(video.DecoderVideoCodecName, AVMEDIA_TYPE_VIDEO, false);
  const AVCodec* audioDecoder =
      findNamedCodec(FOptions.AudioOptions.DecoderAudioCodecName, AVMEDIA_TYPE_AUDIO, false);
  // The subtitle name is the output's encoder; as a decoder it only helps streams the demuxer
  // could not identify (see openDecoders), and an encoder without a decoder of its name is fine.

  auto file = std::make_unique<TInputFile>();
  const std::string& name = FInputNames[index];
  const int opened = media::OpenInput(file->Input, name, FInputFormat, parameters.Address(), [&](AVFormatContext* c) {
    c->flags |= AVFMT_FLAG_NONBLOCK;
    if (videoDecoder) c->video_codec_id = videoDecoder->id, c->video_codec = videoDecoder;
    if (audioDecoder) c->audio_codec_id = audioDecoder->id, c->audio_codec = audioDecoder;
  });
  if (opened < 0) throw EVelocastError(Format("Could not open file:%d!", opened));
  AVFormatContext* context = file->Context();
  const int probed = media::FindInputStreamInfo(file->Input);
  if (probed < 0) throw EVelocastError(Format("Could not find codec parameters:%d!", probed));

  // µs: where conversion starts in this input's own clock.
  int64_t seekPosition = FOptions.StartTime;
  if (context->start_time != AV_NOPTS_VALUE) seekPosition += context->start_time;
  // A live capture cannot seek: it starts recording at the start.
  if (FOptions.StartTime != 0) media::SeekInput(file->Input, seekPosition, AVSEEK_FLAG_BACKWARD);
  if (context->duration != AV_NOPTS_VALUE) FHost.SetDuration(static_cast<double>(context->duration) / AV_TIME_BASE);

  for (unsigned i = 0; i < context->nb_streams; ++i) takeInputStreamValues(*file, context->streams[i]);
  file->TsOffset = -seekPosition;
  FInputFiles.push_back(std::move(file));
}

void TConversion::takeInputStreamValues(TInputFile&, AVStream* stream) {
  const AVCodecParameters* parameters = stream->codecpar;
  TVideoOptions& video = FOptions.VideoOptions;
  switch (parameters->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
      FAudioChannels = parameters->ch_layout.nb_channels;
      FAudioSampleRate = parameters->sample_rate;
      FAudioSampleFmt = static_cast<AVSampleFormat>(parameters->format);
      av_channel_layout_uninit(&FAudioLayout);
      av_channel_layout_copy(&FAudioLayout, &parameters->ch_layout);
      if (FOptions.AudioOptions.AudioDisable) stream->discard = AVDISCARD_ALL;
      break;
    case AVMEDIA_TYPE_VIDEO: {
      FFrameWidth = parameters->width;
      FFrameHeight = parameters->height;
      AVRational aspect = stream->sample_aspect_ratio.num ? stream->sample_aspect_ratio : parameters->sample_aspect_ratio;
      video.FrameAspectRatio =
          parameters->height > 0 ? static_cast<float>(av_q2d(aspect) * parameters->width / parameters->height) : 0;
      // A pixel format the option set names is what the output must have (a DV50 profile asks
      // for 4:2:2 whatever the source); otherwise the output keeps the source's.
      if (!FPixelFormatForced) video.PixelFormat = parameters->format;
      const AVRational codecRate = stream->avg_frame_rate;
      const AVRational realRate = stream->r_frame_rate;
      if (codecRate.num && realRate.num && av_cmp_q(codecRate, realRate) != 0)
        FHost.EngineLog(AV_LOG_ERROR,
                        Format("Seems stream %d codec frame rate differs from container frame rate: %2.2f (%d/%d) -> "
                               "%2.2f (%d/%d)",
                               stream->index, av_q2d(codecRate), codecRate.num, codecRate.den, av_q2d(realRate),
                               realRate.num, realRate.den));
      if (realRate.num > 0 && realRate.den > 0) {
        video.FrameRate.num = realRate.num;
        video.FrameRate.den = realRate.den;
      }
      if (video.VideoDisable) stream->discard = AVDISCARD_ALL;
      break;
    }
    case AVMEDIA_TYPE_SUBTITLE:
      if (FOptions.SubtitleOptions.SubtitleDisable) stream->discard = AVDISCARD_ALL;
      break;
    default:
      break;
  }
}

// Opening an output for writing truncates it; when it is one of the inputs, that would destroy
// the very file being converted.
void TConversion::refuseOverwritingInputs() const {
  namespace fs = std::filesystem;
  for (const auto& output : FOutputNames.Lines()) {
    std::error_code ec;
    const fs::path outputPath = fs::weakly_canonical(fs::absolute(output, ec), ec);
    struct stat outputStat {};
    const bool outputExists = ::stat(output.c_str(), &outputStat) == 0;
    for (const auto& input : FInputNames.Lines()) {
      std::error_code ec2;
      const fs::path inputPath = fs::weakly_canonical(fs::absolute(input, ec2), ec2);
      struct stat inputStat {};
      const bool sameInode = outputExists && ::stat(input.c_str(), &inputStat) == 0 &&
                             inputStat.st_dev == outputStat.st_dev && inputStat.st_ino == outputStat.st_ino;
      if (sameInode || (!ec && !ec2 && outputPath == inputPath))
        throw EVelocastError(Format("Output file %s is the input file %s; choose another output file name",
                                    output.c_str(), input.c_str()));
    }
  }
}

}  // namespace vc::engine
