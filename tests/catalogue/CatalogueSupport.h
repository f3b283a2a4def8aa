#pragma once
// Helpers of the catalogue suite: source clips made once with the ffmpeg program and cached in the
// build's fixture folder, a conversion run to its end on this thread, and ffprobe as the oracle.
#include <map>
#include <string>
#include <vector>

#include "engine/AVConvertOptions.h"
#include "support/TestSupport.h"

extern "C" {
#include <libavutil/rational.h>
}

namespace vc::test {

struct TSourceClip {
  std::string Path;
  int Width = 0, Height = 0;
  AVRational FrameRate{0, 1};
  int SampleRate = 0;  // Hz
  int Channels = 0;
  double Duration = 0;  // s
};

// 2 s of testsrc2, 320x240 at 20 fps, with a 440 Hz tone at 22050 Hz stereo (MPEG-4 and PCM in AVI).
const TSourceClip& Clip();
// The same at 720x576, 25 fps, 48000 Hz stereo: what DV takes unchanged.
const TSourceClip& DvClip();
// 2 s of a 440 Hz tone at 32000 Hz mono, no picture (WAV).
const TSourceClip& ToneClip();

struct TConversionResult {
  std::string Output;
  std::string ErrorText;                // the converter's, empty after success
  std::vector<std::string> ErrorBoxes;  // texts of the error boxes shown during the run
  std::vector<std::string> Log;         // every log line of the run
};

// Runs a converter with options from input to output until it completes.
TConversionResult RunConversion(const engine::TAVConvertOptions& options, const std::string& input,
                                const std::string& output);

// ffprobe's flat output (-show_streams -show_format) as key=value ("streams.stream.0.codec_name").
class TProbe final {
 public:
  explicit TProbe(const std::string& file);
  bool Ok() const { return FOk; }
  std::string Get(const std::string& key) const;
  std::string Stream(int index, const std::string& key) const;
  double StreamNumber(int index, const std::string& key) const;
  double FormatNumber(const std::string& key) const;
  int StreamCount() const;
  int StreamOfType(const std::string& type) const;  // first stream of codec_type, -1 when none
  double StreamRate(int index) const;               // r_frame_rate in frames per second

 private:
  std::map<std::string, std::string> FValues;
  bool FOk = false;
};

// True when the ffmpeg program decodes the whole file without an error message.
bool DecodesCleanly(const std::string& file);

// The pictures of a sequence whose first one the target name describes: "clip1.jpg" stands for
// clip1.jpg, clip2.jpg, ...; "clip.bmp" for clip1.bmp, clip2.bmp, ... In frame order; the list
// ends at the first number missing.
std::vector<std::string> NumberedPictures(const std::string& targetName);

}  // namespace vc::test
