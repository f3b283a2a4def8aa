// Output files and their streams: format, stream kinds, encoders and their parameters.
#include <cmath>
#include <filesystem>

#include "base/Errors.h"
#include "base/Format.h"
#include "engine/Conversion.h"
#include "engine/ImageSequenceName.h"
#include "media/AmrNbFrameEncoder.h"
#include "media/EncoderLookup.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace vc::engine {

using base::EVelocastError;
using base::Format;

namespace {

AVSampleFormat sampleFormatOf(TAVAudioSampleFormat format) {
  switch (format) {
    case TAVAudioSampleFormat::sfU8: return AV_SAMPLE_FMT_U8;
    case TAVAudioSampleFormat::sfS16: return AV_SAMPLE_FMT_S16;
    case TAVAudioSampleFormat::sfS32: return AV_SAMPLE_FMT_S32;
    case TAVAudioSampleFormat::sfFLT: return AV_SAMPLE_FMT_FLT;
    case TAVAudioSampleFormat::sfDBL: return AV_SAMPLE_FMT_DBL;
    case TAVAudioSampleFormat::sfAuto: break;
  }
  return AV_SAMPLE_FMT_NONE;
}

bool hasText(const std::string& text) { return text.find_first_not_of(" \t\r\n") != std::string::npos; }

void setLanguage(AVStream* stream, const std::string& language) {
  av_dict_set(&stream->metadata, "language", language.c_str(), 0);
}

AVPixelFormat adjustPixelFormat(const AVCodec* codec, const AVCodecContext* encoder, AVPixelFormat requested) {
  if (!codec->pix_fmts) return requested;
  // Today's MJPEG encoder lists the limited-range formats too, but refuses them at normal
  // compliance; a picture then goes to the full-range format of the same layout.
  if (codec->id == AV_CODEC_ID_MJPEG && encoder->strict_std_compliance > FF_COMPLIANCE_UNOFFICIAL) {
    if (requested == AV_PIX_FMT_YUV420P) return AV_PIX_FMT_YUVJ420P;
    if (requested == AV_PIX_FMT_YUV422P) return AV_PIX_FMT_YUVJ422P;
    if (requested == AV_PIX_FMT_YUV444P) return AV_PIX_FMT_YUVJ444P;
  }
  for (const AVPixelFormat* p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
    if (*p == requested) return requested;
  if (codec->id == AV_CODEC_ID_MJPEG && encoder->strict_std_compliance < 0 &&
      (requested == AV_PIX_FMT_YUV420P || requested == AV_PIX_FMT_YUV422P))
    return requested;
  return codec->pix_fmts[0];
}

AVSampleFormat adjustSampleFormat(const AVCodec* codec, AVSampleFormat requested) {
  if (!codec->sample_fmts) return requested;
  for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
    if (*f == requested) return requested;
  return codec->sample_fmts[0];
}

int adjustSampleRate(const AVCodec* codec, int requested) {
  if (!codec->supported_samplerates) return requested;
  int best = codec->supported_samplerates[0];
  for (const int* rate = codec->supported_samplerates; *rate; ++rate)
    if (std::abs(*rate - requested) < std::abs(best - requested)) best = *rate;
  if (best != requested) av_log(nullptr, AV_LOG_WARNING, "Requested sampling rate unsupported using closest supported (%d)\n", best);
  return best;
}

// The layout for channels: the input's when it has that many, else the usual one, and in any case
// one the encoder takes.
void chooseLayout(const AVCodec* codec, const AVChannelLayout& input, int channels, AVChannelLayout& out) {
  av_channel_layout_uninit(&out);
  if (input.nb_channels == channels && input.order != AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_copy(&out, &input);
  else
    av_channel_layout_default(&out, channels);
  if (!codec->ch_layouts) return;
  const AVChannelLayout* sameCount = nullptr;
  for (const AVChannelLayout* l = codec->ch_layouts; l->nb_channels; ++l) {
    if (!av_channel_layout_compare(l, &out)) return;
    if (!sameCount && l->nb_channels == channels) sameCount = l;
  }
  av_channel_layout_uninit(&out);
  av_channel_layout_copy(&out, sameCount ? sameCount : &codec->ch_layouts[0]);
}

}  // namespace

void TConversion::openOutputFile(int index) {
  const TAudioOptions& audio = FOptions.AudioOptions;
  const TVideoOptions& video = FOptions.VideoOptions;
  if (audio.AudioChannels != 0) FAudioChannels = audio.AudioChannels;
  if (audio.AudioSampleRate != 0) FAudioSampleRate = audio.AudioSampleRate;
  if (video.FrameWidth != 0) FFrameWidth = video.FrameWidth;
  if (video.FrameHeight != 0) FFrameHeight = video.FrameHeight;
  if (audio.AudioSampleFmt() != TAVAudioSampleFormat::sfAuto) FAudioSampleFmt = sampleFormatOf(audio.AudioSampleFmt());
  // A negative size cannot be encoded; going on would end in a file without the stream.
  if (FFrameWidth < 0 || FFrameHeight < 0)
    throw EVelocastError("crop dimensions are outside the range of the original image.");

  const std::string& name = FOutputNames[index];
  if (!FOutputFormat) {
    FOutputFormat = av_guess_format(nullptr, name.c_str(), nullptr);
    if (!FOutputFormat) throw EVelocastError(Format("Unable to find a suitable output format for %s", name.c_str()));
  }
  // The image muxer wants a frame-number pattern; the name given is the first picture's.
  const std::string muxerName = WritesFilePerPicture(FOutputFormat) ? ImageSequencePattern(name) : name;
  AVFormatContext* context = nullptr;
  if (avformat_alloc_output_context2(&context, FOutputFormat, nullptr, muxerName.c_str()) < 0 || !context)
    throw EVelocastError("no memory");
  auto file = std::make_unique<TOutputFile>();
  file->Context.reset(context);

  bool useVideo = FOutputFormat->video_codec != AV_CODEC_ID_NONE || video.VideoStreamCopy ||
                  !video.EncoderVideoCodecName.empty();
  bool useAudio = FOutputFormat->audio_codec != AV_CODEC_ID_NONE || audio.AudioStreamCopy ||
                  !audio.EncoderAudioCodecName.empty();
  bool useSubtitle = FOutputFormat->subtitle_codec != AV_CODEC_ID_NONE ||
                     FOptions.SubtitleOptions.SubtitleStreamCopy || !FOptions.SubtitleOptions.SubtitleCodecName.empty();
  if (!FInputFiles.empty()) {
    bool hasVideo = false, hasAudio = false, hasSubtitle = false;
    for (const auto& input : FInputFiles)
      for (unsigned i = 0; i < input->Context()->nb_streams; ++i) {
        const AVMediaType type = input->Context()->streams[i]->codecpar->codec_type;
        hasVideo |= type == AVMEDIA_TYPE_VIDEO;
        hasAudio |= type == AVMEDIA_TYPE_AUDIO;
        hasSubtitle |= type == AVMEDIA_TYPE_SUBTITLE;
      }
    useVideo &= hasVideo;
    useAudio &= hasAudio;
    useSubtitle &= hasSubtitle;
  }
  useVideo &= !video.VideoDisable;
  useAudio &= !audio.AudioDisable;
  useSubtitle &= !FOptions.SubtitleOptions.SubtitleDisable;

  if (useVideo) newVideoStream(*file, index);
  if (useAudio) newAudioStream(*file, index);
  if (useSubtitle) newSubtitleStream(*file, index);

  for (int i = 0; i < FOptions.MetaData.Count(); ++i)
    av_dict_set(&context->metadata, FOptions.MetaData.Names(i).c_str(), FOptions.MetaData.ValueFromIndex(i).c_str(), 0);

  TOutputFile& stored = *file;
  FOutputFiles.push_back(std::move(file));

  if ((FOutputFormat->flags & AVFMT_NEEDNUMBER) && !av_filename_number_test(muxerName.c_str()))
    throw EVelocastError("unexpected error");
  if (!(FOutputFormat->flags & AVFMT_NOFILE)) {
    const std::filesystem::path folder = std::filesystem::path(name).parent_path();
    std::error_code ec;
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (avio_open(&context->pb, name.c_str(), AVIO_FLAG_WRITE) < 0) throw EVelocastError("Could not open file");
  }

  context->max_delay = static_cast<int>(std::lround(FOptions.MuxerOptions.MuxMaxDelay * 1000000.0));
  // Format options for an output are the ones meant for writing (packet size and the like).
  media::TDictionary formatOptions;
  FMediaOptions.FillFormatOptions(formatOptions, AV_OPT_FLAG_ENCODING_PARAM);
  av_opt_set_dict(context, formatOptions.Address());
  FMediaOptions.FillMuxerPrivateOptions(stored.MuxerOptions);
  if (context->oformat->priv_class && !stored.MuxerOptions.Get("preload")) {
    const AVClass* muxerClass = context->oformat->priv_class;
    if (av_opt_find(&muxerClass, "preload", nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ))
      stored.MuxerOptions.Set("preload",
                              std::to_string(std::lround(FOptions.MuxerOptions.MuxPreload * 1000000.0)).c_str());
  }
}

void TConversion::chooseEncoder(TOutputStream& output, const std::string& name, const std::string& fileName) {
  const AVMediaType type = output.Type;
  if (!name.empty()) {
    const media::TEncoderChoice choice = media::FindEncoder(name);
    if (!choice.Found()) throw EVelocastError("Unknown Codec Name");
    if (choice.Type != type) throw EVelocastError("Invalid codec type");
    if (!choice.Substitution.empty()) FHost.EngineLog(AV_LOG_WARNING, choice.Substitution);
    output.Codec = choice.Codec;
    output.OwnEncoder = choice.Own;
    return;
  }
  if (type == AVMEDIA_TYPE_SUBTITLE) return;
  output.Codec = avcodec_find_encoder(av_guess_codec(FOutputFormat, nullptr, fileName.c_str(), nullptr, type));
}

TOutputStream& TConversion::newStream(TOutputFile& file, int fileIndex, AVMediaType type,
                                      const base::TStrings& filters) {
  AVStream* stream = avformat_new_stream(file.Context.get(), nullptr);
  if (!stream) throw EVelocastError("Could not alloc stream");
  auto output = std::make_unique<TOutputStream>();
  output->FileIndex = fileIndex;
  output->Index = stream->index;
  output->Stream = stream;
  output->Muxer = file.Context.get();
  output->Type = type;
  output->Filters.SetNames(filters, [this](const std::string& text) { showErrorBox(text); });
  FOutputStreams.push_back(std::move(output));
  return *FOutputStreams.back();
}

void TConversion::newVideoStream(TOutputFile& file, int fileIndex) {
  const TVideoOptions& video = FOptions.VideoOptions;
  TOutputStream& output = newStream(file, fileIndex, AVMEDIA_TYPE_VIDEO, FOptions.MuxerOptions.VideoBitstreamFilters);
  const std::string& name = FOutputNames[fileIndex];
  output.StreamCopy = video.VideoStreamCopy;
  output.MaxFrames = video.MaxFrames;
  if (!output.StreamCopy) chooseEncoder(output, video.EncoderVideoCodecName, name);
  output.Encoder.reset(avcodec_alloc_context3(output.Codec));
  AVCodecContext* encoder = output.Encoder.get();
  encoder->codec_type = AVMEDIA_TYPE_VIDEO;
  encoder->thread_count = FOptions.ThreadCount;
  if (video.VideoCodecTag != 0) encoder->codec_tag = static_cast<unsigned>(video.VideoCodecTag);
  if ((video.VideoGlobalHeader & 1) || (video.VideoGlobalHeader == 0 && (FOutputFormat->flags & AVFMT_GLOBALHEADER)))
    encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (video.VideoGlobalHeader & 2) encoder->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;

  const AVRational aspect = FFrameWidth > 0 && video.FrameAspectRatio > 0
                                ? av_d2q(video.FrameAspectRatio * FFrameHeight / FFrameWidth, 255)
                                : AVRational{0, 1};
  if (output.StreamCopy) {
    output.Stream->sample_aspect_ratio = aspect;
  } else {
    if (output.Codec) {
      encoder->codec_id = output.Codec->id;
      FMediaOptions.ApplyCodecOptions(encoder, AVMEDIA_TYPE_VIDEO, AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
      FMediaOptions.FillEncoderPrivateOptions(AVMEDIA_TYPE_VIDEO, output.EncoderOptions);
      // An average above the peak cannot be met, and the MPEG encoders refuse to open with it
      // (a stored profile pairs 1800 kbit/s with maxrate=1000000): the peak, the player's
      // limit, wins.
      if (encoder->rc_max_rate > 0 && encoder->bit_rate > encoder->rc_max_rate) {
        FHost.EngineLog(AV_LOG_WARNING, Format("Video bit rate %lld is above the maximum rate %lld; encoding at %lld",
                                               static_cast<long long>(encoder->bit_rate),
                                               static_cast<long long>(encoder->rc_max_rate),
                                               static_cast<long long>(encoder->rc_max_rate)));
        encoder->bit_rate = encoder->rc_max_rate;
      }
    }
    AVRational rate = video.FrameRate.num == 0 ? AVRational{25, 1} : AVRational{video.FrameRate.num, video.FrameRate.den};
    if (output.Codec && output.Codec->supported_framerates && !video.ForceFPS)
      rate = output.Codec->supported_framerates[av_find_nearest_q_idx(rate, output.Codec->supported_framerates)];
    encoder->framerate = rate;
    encoder->time_base = av_inv_q(rate);
    encoder->width = FFrameWidth;
    encoder->height = FFrameHeight;
    encoder->sample_aspect_ratio = aspect;
    output.Stream->sample_aspect_ratio = aspect;
    encoder->pix_fmt = static_cast<AVPixelFormat>(video.PixelFormat);
    if (output.Codec) encoder->pix_fmt = adjustPixelFormat(output.Codec, encoder, encoder->pix_fmt);
    if (video.IntraOnly) encoder->gop_size = 0;
    if (video.VideoQscale != 0 || video.SameQuality) {
      encoder->flags |= AV_CODEC_FLAG_QSCALE;
      encoder->global_quality = static_cast<int>(std::lround(FF_QP2LAMBDA * video.VideoQscale));
    }
    auto matrix = [](const TQuantMatrix& values) {
      auto* copy = static_cast<uint16_t*>(av_malloc(sizeof(uint16_t) * 64));
      for (int i = 0; i < 64; ++i) copy[i] = values[static_cast<size_t>(i)];
      return copy;
    };
    if (!video.IntraMatrix().Empty()) encoder->intra_matrix = matrix(video.IntraMatrixValues());
    if (!video.InterMatrix().Empty()) encoder->inter_matrix = matrix(video.InterMatrixValues());
    encoder->rc_override_count = 0;
    if (encoder->rc_initial_buffer_occupancy == 0) encoder->rc_initial_buffer_occupancy = encoder->rc_buffer_size * 3 / 4;
    encoder->intra_dc_precision = video.IntraDcPrecision - 8;
    if (video.Pass() == 1) encoder->flags |= AV_CODEC_FLAG_PASS1;
    if (video.Pass() == 2) encoder->flags |= AV_CODEC_FLAG_PASS2;
  }
  if (hasText(video.VideoLanguage)) setLanguage(output.Stream, video.VideoLanguage);
}

void TConversion::newAudioStream(TOutputFile& file, int fileIndex) {
  const TAudioOptions& audio = FOptions.AudioOptions;
  TOutputStream& output = newStream(file, fileIndex, AVMEDIA_TYPE_AUDIO, FOptions.MuxerOptions.AudioBitstreamFilters);
  const std::string& name = FOutputNames[fileIndex];
  output.StreamCopy = audio.AudioStreamCopy;
  output.MaxFrames = audio.MaxFrames;
  if (!output.StreamCopy) chooseEncoder(output, audio.EncoderAudioCodecName, name);
  output.Encoder.reset(avcodec_alloc_context3(output.Codec));
  AVCodecContext* encoder = output.Encoder.get();
  encoder->codec_type = AVMEDIA_TYPE_AUDIO;
  encoder->thread_count = FOptions.ThreadCount;
  if (audio.AudioCodecTag != 0) encoder->codec_tag = static_cast<unsigned>(audio.AudioCodecTag);
  if (FOutputFormat->flags & AVFMT_GLOBALHEADER) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (output.StreamCopy) {
    // Copy parameters come from the input stream when the streams are paired.
  } else {
    if (output.Codec) {
      encoder->codec_id = output.Codec->id;
      FMediaOptions.FillEncoderPrivateOptions(AVMEDIA_TYPE_AUDIO, output.EncoderOptions);
    }
    if (output.Codec || output.OwnEncoder != media::TOwnEncoder::None)
      FMediaOptions.ApplyCodecOptions(encoder, AVMEDIA_TYPE_AUDIO, AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    if (audio.AudioQScale > -99999.0f) {
      encoder->flags |= AV_CODEC_FLAG_QSCALE;
      encoder->global_quality = static_cast<int>(std::lround(FF_QP2LAMBDA * audio.AudioQScale));
    }
    encoder->sample_fmt = FAudioSampleFmt;
    encoder->sample_rate = FAudioSampleRate;
    if (output.Codec) {
      chooseLayout(output.Codec, FAudioLayout, FAudioChannels, encoder->ch_layout);
      encoder->sample_fmt = adjustSampleFormat(output.Codec, encoder->sample_fmt);
      encoder->sample_rate = adjustSampleRate(output.Codec, encoder->sample_rate);
    } else {
      av_channel_layout_default(&encoder->ch_layout, FAudioChannels);
    }
    if (output.OwnEncoder == media::TOwnEncoder::AmrNb) {
      if (encoder->sample_rate != media::TAmrNbEncoder::kSampleRate)
        av_log(nullptr, AV_LOG_WARNING, "Requested sampling rate unsupported using closest supported (%d)\n",
               media::TAmrNbEncoder::kSampleRate);
      media::TAmrNbFrameEncoder::SetUpContext(*encoder);
    }
    encoder->time_base = AVRational{1, encoder->sample_rate > 0 ? encoder->sample_rate : 1};
  }
  if (hasText(audio.AudioLanguage)) setLanguage(output.Stream, audio.AudioLanguage);
}

void TConversion::newSubtitleStream(TOutputFile& file, int fileIndex) {
  const TSubtitleOptions& subtitle = FOptions.SubtitleOptions;
  TOutputStream& output =
      newStream(file, fileIndex, AVMEDIA_TYPE_SUBTITLE, FOptions.MuxerOptions.SubtitleBitstreamFilters);
  output.StreamCopy = subtitle.SubtitleStreamCopy;
  if (!output.StreamCopy) chooseEncoder(output, subtitle.SubtitleCodecName, "");
  output.Encoder.reset(avcodec_alloc_context3(output.Codec));
  AVCodecContext* encoder = output.Encoder.get();
  encoder->codec_type = AVMEDIA_TYPE_SUBTITLE;
  if (subtitle.SubtitleCodecTag != 0) encoder->codec_tag = static_cast<unsigned>(subtitle.SubtitleCodecTag);
  if (!output.StreamCopy && output.Codec) {
    encoder->codec_id = output.Codec->id;
    FMediaOptions.ApplyCodecOptions(encoder, AVMEDIA_TYPE_SUBTITLE,
                                    AV_OPT_FLAG_SUBTITLE_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    FMediaOptions.FillEncoderPrivateOptions(AVMEDIA_TYPE_SUBTITLE, output.EncoderOptions);
  }
  if (!subtitle.SubtitleLanguage.empty()) setLanguage(output.Stream, subtitle.SubtitleLanguage);
}

}  // namespace vc::engine
