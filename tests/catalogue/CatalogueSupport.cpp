#include "CatalogueSupport.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <stdexcept>

#include "base/Dispatcher.h"
#include "engine/AVConverter.h"

namespace vc::test {

namespace fs = std::filesystem;

namespace {

// Made once per build folder; a temporary name and a rename keep two test processes that start
// at the same time from reading a half-written file.
std::string fixture(const std::string& name, const std::string& ffmpegArgs) {
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  const fs::path dir = fs::path(VELOCAST_FIXTURE_DIR) / "catalogue";
  fs::create_directories(dir);
  const fs::path path = dir / name;
  if (fs::exists(path)) return path.string();
  const std::string partial = path.string() + ".part" + std::to_string(getpid()) + fs::path(name).extension().string();
  const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y " + ffmpegArgs + " '" + partial + "'";
  if (RunCommand(command) != 0) throw std::runtime_error("could not make fixture " + name + ": " + command);
  fs::rename(partial, path);
  return path.string();
}

}  // namespace

const TSourceClip& Clip() {
  static const TSourceClip clip{
      fixture("clip.avi",
              "-f lavfi -i testsrc2=size=320x240:rate=20:duration=2 -f lavfi -i sine=frequency=440:sample_rate=22050:duration=2 "
              "-ac 2 -c:v mpeg4 -q:v 4 -c:a pcm_s16le -f avi"),
      320, 240, {20, 1}, 22050, 2, 2.0};
  return clip;
}

const TSourceClip& DvClip() {
  static const TSourceClip clip{
      fixture("dv.avi",
              "-f lavfi -i testsrc2=size=720x576:rate=25:duration=2 -f lavfi -i sine=frequency=440:sample_rate=48000:duration=2 "
              "-ac 2 -c:v mpeg4 -q:v 5 -c:a pcm_s16le -f avi"),
      720, 576, {25, 1}, 48000, 2, 2.0};
  return clip;
}

const TSourceClip& ToneClip() {
  static const TSourceClip clip{
      fixture("tone.wav", "-f lavfi -i sine=frequency=440:sample_rate=32000:duration=2 -ac 1 -c:a pcm_s16le -f wav"), 0, 0,
      {0, 1}, 32000, 1, 2.0};
  return clip;
}

TConversionResult RunConversion(const engine::TAVConvertOptions& options, const std::string& input,
                                const std::string& output) {
  TConversionResult result;
  result.Output = output;
  TRecordingPrompts prompts;
  base::TQueueDispatcher dispatcher;
  base::SetDispatcher(&dispatcher);
  std::mutex logMutex;
  {
    engine::TAVConverter converter;
    converter.SetConvertOptions(options);
    converter.InputFiles().Add(input);
    converter.OutputFiles().Add(output);
    bool completed = false;
    converter.OnLog = [&](engine::TAVConverter&, int, const std::string& line) {
      std::lock_guard lock(logMutex);
      result.Log.push_back(line);
    };
    converter.OnComplete = [&](engine::TAVConverter& c) {
      result.ErrorText = c.ErrorText();
      completed = true;
    };
    if (!converter.Start()) throw std::runtime_error("the converter refused to start");
    while (!completed) dispatcher.waitForMessages(std::chrono::milliseconds(50));
  }
  base::SetDispatcher(nullptr);
  result.ErrorBoxes = prompts.Errors;
  return result;
}

TProbe::TProbe(const std::string& file) {
  std::string out;
  FOk = RunCommand("ffprobe -v error -show_streams -show_format -of flat '" + file + "'", &out) == 0;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string value = line.substr(eq + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    FValues[line.substr(0, eq)] = value;
  }
}

std::string TProbe::Get(const std::string& key) const {
  const auto it = FValues.find(key);
  return it == FValues.end() ? std::string() : it->second;
}

std::string TProbe::Stream(int index, const std::string& key) const {
  return Get("streams.stream." + std::to_string(index) + "." + key);
}

double TProbe::StreamNumber(int index, const std::string& key) const {
  const std::string text = Stream(index, key);
  return text.empty() ? -1 : std::stod(text);
}

double TProbe::FormatNumber(const std::string& key) const {
  const std::string text = Get("format." + key);
  return text.empty() || text == "N/A" ? -1 : std::stod(text);
}

int TProbe::StreamCount() const {
  const std::string text = Get("format.nb_streams");
  return text.empty() ? 0 : std::stoi(text);
}

int TProbe::StreamOfType(const std::string& type) const {
  for (int i = 0; i < StreamCount(); ++i)
    if (Stream(i, "codec_type") == type) return i;
  return -1;
}

double TProbe::StreamRate(int index) const {
  const std::string text = Stream(index, "r_frame_rate");
  const size_t slash = text.find('/');
  if (slash == std::string::npos) return -1;
  const double den = std::stod(text.substr(slash + 1));
  return den > 0 ? std::stod(text.substr(0, slash)) / den : -1;
}

bool DecodesCleanly(const std::string& file) {
  std::string out;
  return RunCommand("ffmpeg -nostdin -v error -i '" + file + "' -f null - 2>&1", &out) == 0 && out.empty();
}

std::vector<std::string> NumberedPictures(const std::string& targetName) {
  const fs::path target(targetName);
  const std::string extension = target.extension().string();
  std::string stem = target.stem().string();
  while (!stem.empty() && std::isdigit(static_cast<unsigned char>(stem.back()))) stem.pop_back();
  std::vector<std::string> pictures;
  for (int n = 1;; ++n) {
    const fs::path picture = target.parent_path() / (stem + std::to_string(n) + extension);
    if (!fs::exists(picture)) break;
    pictures.push_back(picture.string());
  }
  return pictures;
}

}  // namespace vc::test
