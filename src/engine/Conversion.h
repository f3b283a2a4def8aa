#pragma once
// One conversion: the option set, input names and output names turned into open inputs, output
// files with their streams, opened codecs, and the loop that reads, decodes, filters, encodes and
// muxes until the end, a stop or the recording limit. Runs on the converter's worker thread; the
// destructor releases everything it opened, whatever point the run reached.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "engine/AVConvertOptions.h"
#include "engine/ConversionHost.h"
#include "engine/ConversionStreams.h"
#include "media/InputOpener.h"
#include "media/MediaOptions.h"

namespace vc::engine {

struct TStreamMap {
  int File = 0;
  int Stream = 0;
  int SyncFile = 0;
  int SyncStream = 0;
};

class TConversion final {
 public:
  TConversion(IConversionHost& host, const TAVConvertOptions& options, const base::TStrings& inputFiles,
              const base::TStrings& outputFiles);
  ~TConversion();
  TConversion(const TConversion&) = delete;
  TConversion& operator=(const TConversion&) = delete;

  // Stream maps, bit rates, codec options, forced formats, inputs, outputs. Throws on failure.
  void SetUp();
  // Streams, codecs, headers, the loop, flushing, trailers and the final report. Throws on failure.
  void Transcode();

 private:
  // set-up
  void parseStreamMaps();
  int setOption(const std::string& name, const std::string& value);
  void choosePrivateOptionTargets();
  void resolveForcedFormats();
  void openInputFile(int index);
  void takeInputStreamValues(TInputFile& file, AVStream* stream);
  void refuseOverwritingInputs() const;
  void openOutputFile(int index);
  void newVideoStream(TOutputFile& file, int fileIndex);
  void newAudioStream(TOutputFile& file, int fileIndex);
  void newSubtitleStream(TOutputFile& file, int fileIndex);
  TOutputStream& newStream(TOutputFile& file, int fileIndex, AVMediaType type, const base::TStrings& filters);
  // The encoder of output (named, or the container's default for fileName); a substitute says so in the log.
  void chooseEncoder(TOutputStream& output, const std::string& name, const std::string& fileName);
  void showErrorBox(const std::string& text);

  // streams and codecs
  void prepareStreams();
  void selectSources();
  void prepareCopy(TOutputStream& output, TInputStream& input);
  void prepareEncoding(TOutputStream& output, TInputStream& input);
  void prepareTwoPass(TOutputStream& output, int globalIndex);
  void openEncoders();
  void openDecoders();
  void copyChapters();
  void writeHeaders();

  // the loop
  void runLoop();
  int chooseInputFile(double& smallestOutputTime, bool& limitReached) const;
  bool readAndProcess(int fileIndex);
  void finish();
  void report(bool last);

  // packet stage
  int processPacket(TInputStream& input, AVPacket* packet);
  int decodeVideo(TInputStream& input, const AVPacket* packet);
  int decodeAudio(TInputStream& input, const AVPacket* packet);
  int decodeSubtitle(TInputStream& input, const AVPacket* packet);
  void advanceWithoutDecoding(TInputStream& input, const AVPacket* packet);
  void dispatchVideo(TInputStream& input, AVFrame* frame);
  void pushVideo(TOutputStream& output, TInputStream& input, AVFrame* frame);
  void pullVideo(TOutputStream& output, TInputStream& input);
  void videoOut(TOutputStream& output, TInputStream& input, AVFrame* frame);
  void dispatchAudio(TInputStream& input, AVFrame* frame);
  void dispatchSubtitle(TInputStream& input, AVSubtitle& subtitle, int64_t packetPts);
  void copyPacket(TOutputStream& output, TInputStream& input, const AVPacket* packet);
  void drainEncoders(TInputStream& input);
  void applyVolume(AVFrame* frame) const;

  IConversionHost& FHost;
  TAVConvertOptions FOptions;  // the run's own copy: opening inputs updates rate, aspect and format
  base::TStrings FInputNames;
  base::TStrings FOutputNames;
  media::TMediaOptions FMediaOptions;
  std::vector<TStreamMap> FStreamMaps;
  media::TInputFormat FInputFormat;  // forced: one of the library's demuxers or one of our own inputs
  const AVOutputFormat* FOutputFormat = nullptr;

  std::vector<std::unique_ptr<TInputFile>> FInputFiles;
  std::vector<std::unique_ptr<TInputStream>> FInputStreams;
  std::vector<std::unique_ptr<TOutputFile>> FOutputFiles;
  std::vector<std::unique_ptr<TOutputStream>> FOutputStreams;

  // Conversion media values: taken from the inputs, then overridden by the options.
  int FAudioChannels = 0;
  int FAudioSampleRate = 0;  // Hz
  AVSampleFormat FAudioSampleFmt = AV_SAMPLE_FMT_NONE;
  AVChannelLayout FAudioLayout{};
  int FFrameWidth = 0;
  int FFrameHeight = 0;
  bool FPixelFormatForced = false;  // the option set named the output's pixel format (the DV profiles)

  media::TPacketPtr FPacket;     // the packet being read
  media::TPacketPtr FCopy;       // a copied packet on its way out
  media::TFramePtr FFrame;       // the frame being decoded
  media::TFramePtr FFiltered;    // a picture leaving a filter graph
  std::vector<uint8_t> FSubtitleBuffer;  // encoded subtitles, 1 MiB once the first one comes
  bool FStreamsOpen = false;     // codecs opened and headers written: flushing and trailers are due
};

}  // namespace vc::engine
