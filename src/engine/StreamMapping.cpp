// Pairing output streams with their sources, preparing copy and re-encoding, opening the codecs,
// chapters and headers.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/Errors.h"
#include "base/Format.h"
#include "engine/AudioPath.h"
#include "engine/Conversion.h"
#include "engine/TwoPassLog.h"
#include "engine/VideoPath.h"
#include "media/AmrNbFrameEncoder.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libavutil/time.h>
}

namespace vc::engine {

using base::EVelocastError;
using base::Format;

void TConversion::prepareStreams() {
  // Input streams, numbered over all files.
  for (int f = 0; f < static_cast<int>(FInputFiles.size()); ++f) {
    TInputFile& file = *FInputFiles[static_cast<size_t>(f)];
    file.FirstStream = static_cast<int>(FInputStreams.size());
    file.StreamCount = static_cast<int>(file.Context()->nb_streams);
    for (int s = 0; s < file.StreamCount; ++s) {
      auto input = std::make_unique<TInputStream>();
      input->FileIndex = f;
      input->StreamIndex = s;
      input->Stream = file.Context()->streams[s];
      FInputStreams.push_back(std::move(input));
    }
  }
  for (const auto& file : FOutputFiles)
    if (file->Context->nb_streams == 0) throw EVelocastError("Output file does not contain any stream");
  if (!FStreamMaps.empty() && FStreamMaps.size() != FOutputStreams.size())
    throw EVelocastError("Number of stream maps must match number of output streams");
  for (const auto& map : FStreamMaps) {
    auto valid = [this](int file, int stream) {
      return file >= 0 && file < static_cast<int>(FInputFiles.size()) && stream >= 0 &&
             stream < static_cast<int>(FInputFiles[static_cast<size_t>(file)]->Context()->nb_streams);
    };
    if (!valid(map.File, map.Stream)) throw EVelocastError(Format("Could not find input stream #%d.%d", map.File, map.Stream));
    if (!valid(map.SyncFile, map.SyncStream))
      throw EVelocastError(Format("Could not find sync stream #%d.%d", map.SyncFile, map.SyncStream));
  }
  selectSources();

  for (size_t i = 0; i < FOutputStreams.size(); ++i) {
    TOutputStream& output = *FOutputStreams[i];
    TInputStream& input = *FInputStreams[static_cast<size_t>(output.SourceIndex)];
    av_dict_copy(&output.Stream->metadata, input.Stream->metadata, AV_DICT_DONT_OVERWRITE);
    output.Stream->disposition = input.Stream->disposition;
    if (output.StreamCopy)
      prepareCopy(output, input);
    else
      prepareEncoding(output, input);
    prepareTwoPass(output, static_cast<int>(i));
  }
}

void TConversion::selectSources() {
  auto switchedOff = [](const TInputStream& s) { return s.Stream->discard == AVDISCARD_ALL; };
  for (size_t i = 0; i < FOutputStreams.size(); ++i) {
    TOutputStream& output = *FOutputStreams[i];
    int source = -1;
    int sync = -1;
    if (!FStreamMaps.empty()) {
      const TStreamMap& map = FStreamMaps[i];
      source = FInputFiles[static_cast<size_t>(map.File)]->FirstStream + map.Stream;
      sync = FInputFiles[static_cast<size_t>(map.SyncFile)]->FirstStream + map.SyncStream;
      if (FInputStreams[static_cast<size_t>(source)]->Type() != output.Type)
        throw EVelocastError(Format("Codec type mismatch for mapping #%d.%d -> #%d.%d", map.File, map.Stream,
                                    output.FileIndex, output.Index));
    } else {
      // First choice: an unclaimed stream of the type, the one its file's demuxer rates best.
      for (size_t s = 0; s < FInputStreams.size(); ++s) {
        const TInputStream& candidate = *FInputStreams[s];
        if (!candidate.Discard || switchedOff(candidate) || candidate.Type() != output.Type) continue;
        const int best = av_find_best_stream(FInputFiles[static_cast<size_t>(candidate.FileIndex)]->Context(),
                                             output.Type, -1, -1, nullptr, 0);
        if (source < 0 || best == candidate.StreamIndex) {
          if (source >= 0 && FInputStreams[static_cast<size_t>(source)]->FileIndex != candidate.FileIndex) continue;
          source = static_cast<int>(s);
        }
      }
      // Then any stream of the type, even one another output already takes: the last one.
      if (source < 0)
        for (size_t s = 0; s < FInputStreams.size(); ++s)
          if (!switchedOff(*FInputStreams[s]) && FInputStreams[s]->Type() == output.Type) source = static_cast<int>(s);
      if (source < 0) throw EVelocastError("Could not find input stream matching output stream ");
      sync = source;
    }
    output.SourceIndex = source;
    output.SyncIndex = sync;
    TInputStream& input = *FInputStreams[static_cast<size_t>(source)];
    input.Discard = false;
    input.Outputs.push_back(static_cast<int>(i));
  }
}

void TConversion::prepareCopy(TOutputStream& output, TInputStream& input) {
  const AVCodecParameters* in = input.Stream->codecpar;
  AVCodecParameters* out = output.Stream->codecpar;
  if (output.Type == AVMEDIA_TYPE_AUDIO && FOptions.AudioOptions.AudioVolume != 256)
    throw EVelocastError("-acodec copy and -vol are incompatible (frames are not decoded)");
  if (output.Type != AVMEDIA_TYPE_AUDIO && output.Type != AVMEDIA_TYPE_VIDEO && output.Type != AVMEDIA_TYPE_SUBTITLE)
    throw EVelocastError("unknown codec type");
  if (avcodec_parameters_copy(out, in) < 0) throw EVelocastError("failed to allocate extradata");
  // Without a forced tag the muxer picks the tag that fits its container.
  out->codec_tag = static_cast<unsigned>(output.Encoder->codec_tag);
  if (output.Type == AVMEDIA_TYPE_AUDIO) {
    if ((out->block_align == 1 && out->codec_id == AV_CODEC_ID_MP3) || out->codec_id == AV_CODEC_ID_AC3)
      out->block_align = 0;
  }
  if (output.Type == AVMEDIA_TYPE_VIDEO && output.Stream->sample_aspect_ratio.num) {
    out->sample_aspect_ratio = output.Stream->sample_aspect_ratio;
  }
  // The input's own clock is exact for every copied packet; the muxer may pick a finer one.
  const AVRational timeBase = input.Stream->time_base;
  output.Stream->time_base = timeBase;
  output.Stream->avg_frame_rate = input.Stream->avg_frame_rate;
  output.Stream->r_frame_rate = input.Stream->r_frame_rate;
  if (output.Type == AVMEDIA_TYPE_VIDEO)
    output.Encoder->framerate = input.Stream->avg_frame_rate;
}

void TConversion::prepareEncoding(TOutputStream& output, TInputStream& input) {
  AVCodecContext* encoder = output.Encoder.get();
  const AVCodecParameters* in = input.Stream->codecpar;
  encoder->chroma_sample_location = in->chroma_location;
  switch (output.Type) {
    case AVMEDIA_TYPE_AUDIO: {
      TAudioSyncSettings sync;
      sync.Method = FOptions.AudioOptions.AudioSyncMethod;
      sync.DriftThreshold = FOptions.AudioOptions.AudioDriftThreshold;
      sync.RecordingTime = FOptions.RecordingTime;
      if (encoder->sample_rate <= 0 || encoder->ch_layout.nb_channels <= 0 || encoder->sample_fmt == AV_SAMPLE_FMT_NONE)
        throw EVelocastError("Error while opening codec for output stream - maybe incorrect parameters such as "
                             "bit_rate, rate, width or height");
      output.Audio = std::make_unique<TAudioPath>(output, sync);
      break;
    }
    case AVMEDIA_TYPE_VIDEO: {
      if (encoder->pix_fmt == AV_PIX_FMT_NONE) throw EVelocastError("Video pixel format is unknown, stream can not be decoded");
      TVideoInput source;
      source.Width = in->width;
      source.Height = in->height;
      source.Format = static_cast<AVPixelFormat>(in->format);
      source.SampleAspect = input.Stream->sample_aspect_ratio.num ? input.Stream->sample_aspect_ratio : in->sample_aspect_ratio;
      TVideoGraphSettings settings;
      settings.Width = encoder->width;
      settings.Height = encoder->height;
      settings.Format = encoder->pix_fmt;
      settings.ScalerFlags = FMediaOptions.ScalerFlags();
      settings.Filters = FilterGraphText(FOptions.FilterOptions.VideoFilters,
                                         [this](const std::string& line) { FHost.LibraryLog(AV_LOG_ERROR, line); });
      settings.Deinterlace = FOptions.VideoOptions.Deinterlace;
      settings.Threads = FOptions.ThreadCount;
      output.Video = std::make_unique<TVideoPath>();
      if (output.Video->Build(source, settings, [this] { showErrorBox("Deinterlacing failed"); }) != 0)
        throw EVelocastError("Error opening filters!");
      encoder->width = output.Video->OutputWidth();
      encoder->height = output.Video->OutputHeight();
      if (!encoder->sample_aspect_ratio.num) {
        encoder->sample_aspect_ratio = output.Video->OutputSampleAspect();
        output.Stream->sample_aspect_ratio = encoder->sample_aspect_ratio;
      }
      if (output.Video->Resample()) encoder->bits_per_raw_sample = 0;
      break;
    }
    case AVMEDIA_TYPE_SUBTITLE:
      // Text subtitles carry their styles in the decoder's header; the encoder needs the same.
      break;
    default:
      throw EVelocastError("unknown codec type");
  }
  output.EncodingNeeded = true;
  input.DecodingNeeded = true;
}

void TConversion::prepareTwoPass(TOutputStream& output, int globalIndex) {
  if (!output.EncodingNeeded) return;
  AVCodecContext* encoder = output.Encoder.get();
  if (!(encoder->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2))) return;
  const std::string name = TwoPassLogName(globalIndex);
  if (encoder->flags & AV_CODEC_FLAG_PASS1) output.PassLog = std::make_unique<TTwoPassLog>(name);
  if (encoder->flags & AV_CODEC_FLAG_PASS2) {
    output.PassStats = ReadTwoPassLog(name);
    encoder->stats_in = output.PassStats.data();
  }
}

void TConversion::openDecoders() {
  const TAVConvertOptions& o = FOptions;
  for (auto& input : FInputStreams) {
    if (!input->DecodingNeeded) continue;
    const AVCodecParameters* in = input->Stream->codecpar;
    const AVCodec* codec = nullptr;
    if (in->codec_type == AVMEDIA_TYPE_VIDEO && !o.VideoOptions.DecoderVideoCodecName.empty())
      codec = avcodec_find_decoder_by_name(o.VideoOptions.DecoderVideoCodecName.c_str());
    if (in->codec_type == AVMEDIA_TYPE_AUDIO && !o.AudioOptions.DecoderAudioCodecName.empty())
      codec = avcodec_find_decoder_by_name(o.AudioOptions.DecoderAudioCodecName.c_str());
    // Forcing the output's subtitle codec onto an input of another codec could only garble it.
    if (in->codec_type == AVMEDIA_TYPE_SUBTITLE && !o.SubtitleOptions.SubtitleCodecName.empty()) {
      const AVCodec* named = avcodec_find_decoder_by_name(o.SubtitleOptions.SubtitleCodecName.c_str());
      if (named && (in->codec_id == AV_CODEC_ID_NONE || named->id == in->codec_id)) codec = named;
    }
    if (!codec) codec = avcodec_find_decoder(in->codec_id);
    if (!codec) throw EVelocastError("Unsupported codec for input stream ");
    input->Decoder.reset(avcodec_alloc_context3(codec));
    AVCodecContext* decoder = input->Decoder.get();
    if (!decoder || avcodec_parameters_to_context(decoder, in) < 0) throw EVelocastError("Error while opening codec for input stream ");
    decoder->pkt_timebase = input->Stream->time_base;
    decoder->thread_count = codec->id == AV_CODEC_ID_SVQ3 ? 1 : o.ThreadCount;
    if (in->codec_type == AVMEDIA_TYPE_VIDEO)
      FMediaOptions.ApplyCodecOptions(decoder, AVMEDIA_TYPE_VIDEO, AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_DECODING_PARAM);
    if (in->codec_type == AVMEDIA_TYPE_AUDIO)
      FMediaOptions.ApplyCodecOptions(decoder, AVMEDIA_TYPE_AUDIO, AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_DECODING_PARAM);
    if (avcodec_open2(decoder, codec, nullptr) < 0) throw EVelocastError("Error while opening codec for input stream ");
  }
}

void TConversion::openEncoders() {
  for (auto& output : FOutputStreams) {
    if (!output->EncodingNeeded) continue;
    AVCodecContext* encoder = output->Encoder.get();
    if (output->OwnEncoder == media::TOwnEncoder::AmrNb) {
      auto own = std::make_unique<media::TAmrNbFrameEncoder>(*encoder);
      own->FillCodecParameters(*output->Stream->codecpar);
      output->Stream->time_base = encoder->time_base;
      output->FrameEncoder = std::move(own);
      continue;
    }
    if (!output->Codec) throw EVelocastError("Unsupported codec for output stream ");
    if (output->Type == AVMEDIA_TYPE_SUBTITLE) {
      const TInputStream& input = *FInputStreams[static_cast<size_t>(output->SourceIndex)];
      const AVCodecContext* decoder = input.Decoder.get();
      if (decoder && decoder->subtitle_header && !encoder->subtitle_header) {
        encoder->subtitle_header = static_cast<uint8_t*>(av_mallocz(static_cast<size_t>(decoder->subtitle_header_size) + 1));
        memcpy(encoder->subtitle_header, decoder->subtitle_header, static_cast<size_t>(decoder->subtitle_header_size));
        encoder->subtitle_header_size = decoder->subtitle_header_size;
      }
      encoder->time_base = AVRational{1, AV_TIME_BASE};
      if (decoder) {
        encoder->width = decoder->width;
        encoder->height = decoder->height;
      }
    }
    if (avcodec_open2(encoder, output->Codec, output->EncoderOptions.Address()) < 0)
      throw EVelocastError(
          "Error while opening codec for output stream - maybe incorrect parameters such as bit_rate, rate, width or height");
    if (avcodec_parameters_from_context(output->Stream->codecpar, encoder) < 0)
      throw EVelocastError("Error while opening codec for output stream - maybe incorrect parameters such as bit_rate, "
                           "rate, width or height");
    output->Stream->time_base = encoder->time_base;
    if (output->Type == AVMEDIA_TYPE_VIDEO) output->Stream->avg_frame_rate = encoder->framerate;
    output->FrameEncoder = std::make_unique<media::TCodecFrameEncoder>(encoder);
  }
}

void TConversion::copyChapters() {
  const int64_t limit = FOptions.RecordingTime;  // µs
  for (const auto& input : FInputFiles) {
    AVFormatContext* in = input->Context();
    if (in->nb_chapters == 0) continue;
    for (const auto& outputFile : FOutputFiles) {
      AVFormatContext* out = outputFile->Context.get();
      for (unsigned c = 0; c < in->nb_chapters; ++c) {
        const AVChapter* chapter = in->chapters[c];
        // The input's offset and the limit in the chapter's clock.
        const int64_t offset = av_rescale_q(-input->TsOffset, AVRational{1, AV_TIME_BASE}, chapter->time_base);
        const int64_t end = limit == INT64_MAX ? INT64_MAX
                                               : av_rescale_q(limit, AVRational{1, AV_TIME_BASE}, chapter->time_base);
        if (chapter->end < offset) continue;
        if (end != INT64_MAX && chapter->start > end + offset) break;
        auto** grown = static_cast<AVChapter**>(
            av_realloc_array(out->chapters, out->nb_chapters + 1, sizeof(AVChapter*)));
        if (!grown) throw EVelocastError("Copy chapters failed");
        out->chapters = grown;
        auto* copy = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
        if (!copy) throw EVelocastError("Copy chapters failed");
        copy->id = chapter->id;
        copy->time_base = chapter->time_base;
        copy->start = std::max<int64_t>(0, chapter->start - offset);
        copy->end = std::min(end, chapter->end - offset);
        if (av_dict_copy(&copy->metadata, chapter->metadata, 0) < 0) {
          av_free(copy);
          throw EVelocastError("Copy chapters failed");
        }
        out->chapters[out->nb_chapters++] = copy;
      }
    }
  }
}

void TConversion::writeHeaders() {
  for (auto& output : FOutputStreams)
    if (!output->Filters.Empty()) output->Filters.Open(output->Stream);
  for (auto& file : FOutputFiles) {
    if (avformat_write_header(file->Context.get(), file->MuxerOptions.Address()) < 0)
      throw EVelocastError("Could not write header for output file  (incorrect codec parameters ?)");
    file->HeaderWritten = true;
  }
}

void TConversion::Transcode() {
  prepareStreams();
  openEncoders();
  openDecoders();
  for (auto& input : FInputStreams) {
    const AVRational rate = input->Stream->avg_frame_rate;
    const int delay = input->Stream->codecpar->video_delay;
    input->Pts = rate.num ? -std::llround(static_cast<double>(delay) * AV_TIME_BASE / av_q2d(rate)) : 0;
    input->NextPts = AV_NOPTS_VALUE;
    input->IsStart = true;
  }
  copyChapters();
  writeHeaders();
  FStreamsOpen = true;
  FHost.SetLoopStartTime(av_gettime());
  runLoop();
  finish();
}

}  // namespace vc::engine
