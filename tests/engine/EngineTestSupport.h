#pragma once
// Helpers for the engine tests: fixtures made once with the ffmpeg program and cached in the
// build's fixture folder, ffprobe and decoded samples as the independent oracle, and a run of a
// converter to its end with the test thread as the user-interface thread.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/Dispatcher.h"
#include "engine/AVConverter.h"
#include "support/TestSupport.h"

namespace vc::test {

// The fixture called name, made on first use:
//   "av.mp4"      testsrc2 320x240 25 fps + 440 Hz sine 48 kHz stereo, 16 s, mpeg4/aac
//   "av.mkv"      the same in Matroska
//   "late.mkv"    6 s of video, the audio starting 0.5 s after it
//   "tone.wav"    2 s 1 kHz sine, 48 kHz stereo, 16-bit, amplitude 1/8
//   "loud.wav"    the same at amplitude 3/4 (doubling it clips)
//   "chapters.mkv" av.mkv's content with chapters at 0, 4, 8 and 12 s
//   "subs.mkv"    6 s of 720x576 video with bitmap (DVD) subtitles shown at 1-2 s and 3-4 s
//   "vfr.mkv"     4 s of 25 fps video with every fifth frame left out (80 frames, gaps of 80 ms)
std::string EngineFixture(const std::string& name);

// ffprobe's flat output (-show_streams -show_format -count_packets) as key=value
// ("streams.stream.0.codec_name" -> "mpeg4"; quotes removed).
class TProbe final {
 public:
  explicit TProbe(const std::string& file, const std::string& extra = "");
  std::string Get(const std::string& key) const;
  std::string Stream(int index, const std::string& key) const;
  double StreamNumber(int index, const std::string& key) const;
  double FormatNumber(const std::string& key) const;
  int StreamCount() const;
  bool Ok() const { return FOk; }

 private:
  std::map<std::string, std::string> FValues;
  bool FOk = false;
};

// The audio of file decoded to signed 16-bit samples (interleaved, in the file's channel count
// unless channels is given).
std::vector<int16_t> DecodeSamples(const std::string& file, int channels = 0);
// The first picture at or after seconds, as 8-bit grey of width x height.
std::vector<uint8_t> DecodeGrey(const std::string& file, double seconds, int width, int height);
// True when ffmpeg decodes the whole file without an error message.
bool DecodesCleanly(const std::string& file);

// The events of one run, recorded on the test thread.
struct TRunRecord {
  std::vector<std::string> Events;  // "progress", "stopped", "complete" in order (progress collapsed)
  int Progress = 0;
  int Completed = 0;
  int Stopped = 0;
  std::vector<std::string> Log;
};

// Runs the converter to its end, serving its calls on this thread. onProgress runs inside each
// progress event.
TRunRecord RunToEnd(engine::TAVConverter& converter, base::TQueueDispatcher& dispatcher,
                    const std::function<void(engine::TAVConverter&)>& onProgress = {});

// A converter set up for one input and one output.
void SetFiles(engine::TAVConverter& converter, const std::string& input, const std::string& output);

}  // namespace vc::test
