#include "EngineTestSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <stdexcept>

namespace vc::test {

namespace fs = std::filesystem;

namespace {

const char* ff = "ffmpeg -nostdin -hide_banner -loglevel error -y ";

std::string recipe(const std::string& name, const std::string& out) {
  const std::string av = std::string(ff) +
                         "-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 "
                         "-t 16 -ac 2 -c:v mpeg4 -q:v 5 -g 25 -c:a aac -b:a 96k ";
  if (name == "av.mp4") return av + "-f mp4 " + out;
  if (name == "av.mkv") return av + "-f matroska " + out;
  if (name == "late.mkv")
    return std::string(ff) +
           "-f lavfi -i testsrc2=size=320x240:rate=25:duration=6 "
           "-itsoffset 0.5 -f lavfi -i sine=frequency=440:sample_rate=48000:duration=5.5 "
           "-map 0:v -map 1:a -ac 2 -c:v mpeg4 -q:v 5 -c:a pcm_s16le -f matroska " + out;
  if (name == "tone.wav")
    return std::string(ff) + "-f lavfi -i sine=frequency=1000:sample_rate=48000:duration=2 -ac 2 -c:a pcm_s16le -f wav " + out;
  if (name == "loud.wav")
    return std::string(ff) +
           "-f lavfi -i sine=frequency=1000:sample_rate=48000:duration=2 -af volume=6 -ac 2 -c:a pcm_s16le -f wav " + out;
  if (name == "chapters.mkv") {
    const std::string meta = out + ".meta";
    std::string text = ";FFMETADATA1\n";
    for (int i = 0; i < 4; ++i)
      text += "[CHAPTER]\nTIMEBASE=1/1000\nSTART=" + std::to_string(i * 4000) + "\nEND=" + std::to_string(i * 4000 + 4000) +
              "\ntitle=Chapter " + std::to_string(i + 1) + "\n";
    WriteFile(meta, text);
    return std::string(ff) + "-i " + EngineFixture("av.mkv") + " -i " + meta +
           " -map 0 -map_chapters 1 -c copy -f matroska " + out + " && rm -f " + meta;
  }
  if (name == "subs.mkv") {
    const std::string srt = out + ".srt";
    WriteFile(srt, "1\n00:00:01,000 --> 00:00:02,000\nFirst\n\n2\n00:00:03,000 --> 00:00:04,000\nSecond\n\n");
    // ffmpeg cannot turn text into bitmaps; the DVD authoring tools draw them as DVD subtitles.
    const std::string xml = out + ".xml";
    const std::string mpg = out + ".mpg";
    WriteFile(xml, "<subpictures><stream><textsub filename=\"" + srt +
                       "\" characterset=\"UTF-8\" fontsize=\"28.0\" font=\"DejaVuSans.ttf\" horizontal-alignment=\"center\" "
                       "vertical-alignment=\"bottom\" left-margin=\"60\" right-margin=\"60\" top-margin=\"20\" "
                       "bottom-margin=\"30\" subtitle-fps=\"25\" movie-fps=\"25\" movie-width=\"720\" "
                       "movie-height=\"576\"/></stream></subpictures>");
    return std::string(ff) +
           "-f lavfi -i testsrc2=size=720x576:rate=25:duration=6 -f lavfi -i anullsrc=r=48000:cl=stereo -t 6 "
           "-c:v mpeg2video -c:a mp2 -f dvd " + mpg + " && VIDEO_FORMAT=PAL spumux -s0 " + xml + " < " + mpg + " > " + mpg +
           ".sub.mpg 2>/dev/null && " + ff + "-i " + mpg + ".sub.mpg -map 0:v -map 0:s -c:v mpeg4 -q:v 5 -c:s copy -f matroska " +
           out + " && rm -f " + srt + " " + xml + " " + mpg + " " + mpg + ".sub.mpg";
  }
  if (name == "vfr.mkv")
    return std::string(ff) +
           "-f lavfi -i testsrc2=size=320x240:rate=25:duration=4 -vf \"select='not(eq(mod(n,5),4))'\" -fps_mode vfr "
           "-c:v mpeg4 -q:v 5 -f matroska " + out;
  throw std::runtime_error("no fixture recipe for " + name);
}

std::recursive_mutex fixtureMutex;  // one recipe may need another fixture

}  // namespace

std::string EngineFixture(const std::string& name) {
  std::lock_guard lock(fixtureMutex);
  const fs::path dir = fs::path(VELOCAST_FIXTURE_DIR) / "engine";
  fs::create_directories(dir);
  const fs::path path = dir / name;
  if (fs::exists(path)) return path.string();
  // Made under a private name and moved into place, so parallel test programs never see half a file.
  const std::string temp = (dir / (".tmp-" + std::to_string(getpid()) + "-" + name)).string();
  const std::string command = recipe(name, temp);
  if (RunCommand(command + " > /dev/null 2>&1") != 0 || !fs::exists(temp))
    throw std::runtime_error("cannot make fixture " + name + ": " + command);
  fs::rename(temp, path);
  return path.string();
}

TProbe::TProbe(const std::string& file, const std::string& extra) {
  std::string text;
  const int rc = RunCommand("ffprobe -v error -show_streams -show_format -count_packets " + extra + " -of flat '" + file +
                                "' 2>/dev/null",
                            &text);
  FOk = rc == 0;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string value = line.substr(eq + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    FValues[line.substr(0, eq)] = value;
  }
}

std::string TProbe::Get(const std::string& key) const {
  const auto found = FValues.find(key);
  return found == FValues.end() ? std::string() : found->second;
}

std::string TProbe::Stream(int index, const std::string& key) const {
  return Get("streams.stream." + std::to_string(index) + "." + key);
}

double TProbe::StreamNumber(int index, const std::string& key) const {
  const std::string v = Stream(index, key);
  return v.empty() || v == "N/A" ? -1 : std::stod(v);
}

double TProbe::FormatNumber(const std::string& key) const {
  const std::string v = Get("format." + key);
  return v.empty() || v == "N/A" ? -1 : std::stod(v);
}

int TProbe::StreamCount() const {
  const std::string v = Get("format.nb_streams");
  return v.empty() ? 0 : std::stoi(v);
}

std::vector<int16_t> DecodeSamples(const std::string& file, int channels) {
  std::string raw;
  const std::string ac = channels > 0 ? " -ac " + std::to_string(channels) : "";
  RunCommand(std::string(ff) + "-i '" + file + "' -map 0:a:0" + ac + " -f s16le -c:a pcm_s16le - 2>/dev/null", &raw);
  std::vector<int16_t> samples(raw.size() / 2);
  std::memcpy(samples.data(), raw.data(), samples.size() * 2);
  return samples;
}

std::vector<uint8_t> DecodeGrey(const std::string& file, double seconds, int width, int height) {
  std::string raw;
  RunCommand(std::string(ff) + "-ss " + std::to_string(seconds) + " -i '" + file + "' -frames:v 1 -vf scale=" +
                 std::to_string(width) + ":" + std::to_string(height) + " -pix_fmt gray -f rawvideo - 2>/dev/null",
             &raw);
  return std::vector<uint8_t>(raw.begin(), raw.end());
}

bool DecodesCleanly(const std::string& file) {
  std::string errors;
  const int rc = RunCommand(std::string(ff) + "-v error -i '" + file + "' -f null - 2>&1", &errors);
  return rc == 0 && errors.empty();
}

TRunRecord RunToEnd(engine::TAVConverter& converter, base::TQueueDispatcher& dispatcher,
                    const std::function<void(engine::TAVConverter&)>& onProgress) {
  TRunRecord record;
  converter.OnProgress = [&](engine::TAVConverter& c) {
    if (record.Events.empty() || record.Events.back() != "progress") record.Events.push_back("progress");
    ++record.Progress;
    if (onProgress) onProgress(c);
  };
  converter.OnStopped = [&](engine::TAVConverter&) {
    record.Events.push_back("stopped");
    ++record.Stopped;
  };
  converter.OnComplete = [&](engine::TAVConverter&) {
    record.Events.push_back("complete");
    ++record.Completed;
  };
  if (!converter.Start()) throw std::runtime_error("Start refused");
  while (record.Completed == 0) dispatcher.waitForMessages(std::chrono::milliseconds(20));
  // The worker ends right after the completion call.
  while (converter.Busy()) dispatcher.waitForMessages(std::chrono::milliseconds(1));
  return record;
}

void SetFiles(engine::TAVConverter& converter, const std::string& input, const std::string& output) {
  converter.InputFiles().Clear();
  converter.InputFiles().Add(input);
  converter.OutputFiles().Clear();
  converter.OutputFiles().Add(output);
}

}  // namespace vc::test
