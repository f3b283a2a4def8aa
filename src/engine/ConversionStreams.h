#pragma once
// The state of one conversion, per input file, input stream, output file and output stream.
// Input streams are numbered over all input files in order, output streams over all output files.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/BitstreamChain.h"
#include "media/AVHandles.h"
#include "media/EncoderLookup.h"
#include "media/FrameEncoder.h"
#include "media/InputOpener.h"

namespace vc::engine {

class TVideoPath;
class TAudioPath;
class TTwoPassLog;

struct TInputFile {
  media::TOpenedInput Input;
  int FirstStream = 0;   // global index of its first stream
  int StreamCount = 0;
  bool AtEnd = false;
  bool NoPacket = false;  // the demuxer asked to be called again later
  int64_t TsOffset = 0;  // µs added to every timestamp of the file

  AVFormatContext* Context() const { return Input.Context.get(); }
};

struct TInputStream {
  int FileIndex = 0;
  int StreamIndex = 0;
  AVStream* Stream = nullptr;
  bool Discard = true;          // no output stream takes it
  bool DecodingNeeded = false;
  const AVCodec* ForcedDecoder = nullptr;
  media::TCodecContextPtr Decoder;
  int64_t Pts = 0;                   // µs: time of the data being handed on
  int64_t NextPts = AV_NOPTS_VALUE;  // µs: expected time of the next data
  bool IsStart = true;               // no audio correction made yet
  int Quality = 0;                   // of the last decoded picture
  std::vector<int> Outputs;          // output streams fed by this one, in output order

  AVMediaType Type() const { return Stream->codecpar->codec_type; }
};

struct TOutputFile {
  media::TOutputFormatPtr Context;
  media::TDictionary MuxerOptions;  // private options of the muxer, for the header
  bool HeaderWritten = false;
};

struct TOutputStream {
  TOutputStream();
  ~TOutputStream();
  TOutputStream(const TOutputStream&) = delete;
  TOutputStream& operator=(const TOutputStream&) = delete;

  int FileIndex = 0;
  int Index = 0;         // within its file
  int SourceIndex = -1;  // global input stream feeding it
  int SyncIndex = -1;    // global input stream whose clock drives frame-rate and audio sync
  AVStream* Stream = nullptr;
  AVFormatContext* Muxer = nullptr;
  AVMediaType Type = AVMEDIA_TYPE_UNKNOWN;
  bool StreamCopy = false;
  bool EncodingNeeded = false;
  const AVCodec* Codec = nullptr;
  media::TOwnEncoder OwnEncoder = media::TOwnEncoder::None;  // an encoder of ours in place of Codec
  media::TCodecContextPtr Encoder;  // parameters of the stream's encoding; opened for a library encoder
  std::unique_ptr<media::IFrameEncoder> FrameEncoder;  // set once the encoder is open; goes before Encoder
  media::TDictionary EncoderOptions;  // private options, handed over when the encoder opens
  int64_t SyncOpts = 0;     // video: frames in encoder time base; audio: samples handed to the encoder
  int64_t FrameNumber = 0;  // frames or packets written
  int64_t MaxFrames = INT32_MAX;
  TBitstreamChain Filters;
  std::unique_ptr<TVideoPath> Video;
  std::unique_ptr<TAudioPath> Audio;
  std::unique_ptr<TTwoPassLog> PassLog;
  std::string PassStats;    // second pass: the statistics the encoder reads
  bool CopyStarted = false; // a copied stream starts at a key frame
  double CopyTime = 0;      // s: end of the last copied packet
  media::TPacketPtr Packet; // reused for every encoded packet

  // Output time in seconds: what has been handed to the encoder or copied so far.
  double OutputTime() const;
  // Sends frame (nullptr drains) to the encoder and writes every packet it gives back.
  void Encode(const AVFrame* frame, const char* failure);
  // Writes a packet in the stream's time base through the bitstream filters (consumed).
  void Write(AVPacket* packet);
};

}  // namespace vc::engine
