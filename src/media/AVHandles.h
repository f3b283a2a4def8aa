#pragma once
// RAII owners for the media libraries' handles. Every handle the program holds lives in one of
// these; nothing calls the matching free function by hand.
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace vc::media {

struct TInputFormatDeleter {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
// An output context also owns its file: the deleter closes the file when the muxer opened one.
struct TOutputFormatDeleter {
  void operator()(AVFormatContext* c) const {
    if (c->pb && !(c->oformat->flags & AVFMT_NOFILE) && !(c->flags & AVFMT_FLAG_CUSTOM_IO)) avio_closep(&c->pb);
    avformat_free_context(c);
  }
};
struct TCodecContextDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct TFrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct TPacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct TFilterGraphDeleter {
  void operator()(AVFilterGraph* g) const { avfilter_graph_free(&g); }
};
struct TFilterInOutDeleter {
  void operator()(AVFilterInOut* io) const { avfilter_inout_free(&io); }
};
struct TSwrDeleter {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
struct TSwsDeleter {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct TBsfDeleter {
  void operator()(AVBSFContext* b) const { av_bsf_free(&b); }
};
struct TAudioFifoDeleter {
  void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};
// A custom I/O context and its buffer (which the library may have replaced since allocation).
struct TIOContextDeleter {
  void operator()(AVIOContext* c) const {
    av_freep(&c->buffer);
    avio_context_free(&c);
  }
};

using TInputFormatPtr = std::unique_ptr<AVFormatContext, TInputFormatDeleter>;
using TOutputFormatPtr = std::unique_ptr<AVFormatContext, TOutputFormatDeleter>;
using TCodecContextPtr = std::unique_ptr<AVCodecContext, TCodecContextDeleter>;
using TFramePtr = std::unique_ptr<AVFrame, TFrameDeleter>;
using TPacketPtr = std::unique_ptr<AVPacket, TPacketDeleter>;
using TFilterGraphPtr = std::unique_ptr<AVFilterGraph, TFilterGraphDeleter>;
using TFilterInOutPtr = std::unique_ptr<AVFilterInOut, TFilterInOutDeleter>;
using TSwrPtr = std::unique_ptr<SwrContext, TSwrDeleter>;
using TSwsPtr = std::unique_ptr<SwsContext, TSwsDeleter>;
using TBsfPtr = std::unique_ptr<AVBSFContext, TBsfDeleter>;
using TAudioFifoPtr = std::unique_ptr<AVAudioFifo, TAudioFifoDeleter>;
using TIOContextPtr = std::unique_ptr<AVIOContext, TIOContextDeleter>;

inline TFramePtr MakeFrame() { return TFramePtr(av_frame_alloc()); }
inline TPacketPtr MakePacket() { return TPacketPtr(av_packet_alloc()); }

// An options dictionary that frees itself; Get() hands the library its address.
class TDictionary final {
 public:
  TDictionary() = default;
  ~TDictionary() { av_dict_free(&FDict); }
  TDictionary(const TDictionary&) = delete;
  TDictionary& operator=(const TDictionary&) = delete;
  TDictionary(TDictionary&& other) noexcept : FDict(other.FDict) { other.FDict = nullptr; }
  TDictionary& operator=(TDictionary&& other) noexcept {
    std::swap(FDict, other.FDict);
    return *this;
  }
  void Set(const char* key, const char* value, int flags = 0) { av_dict_set(&FDict, key, value, flags); }
  const char* Get(const char* key) const {
    const AVDictionaryEntry* e = av_dict_get(FDict, key, nullptr, 0);
    return e ? e->value : nullptr;
  }
  int Count() const { return av_dict_count(FDict); }
  AVDictionary** Address() { return &FDict; }
  AVDictionary* Raw() const { return FDict; }

 private:
  AVDictionary* FDict = nullptr;
};

// The library's error text for a negative return code.
std::string ErrorText(int code);

}  // namespace vc::media
