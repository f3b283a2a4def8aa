#include "PreviewFixtures.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "preview/FFPushSource.h"
#include "support/TestSupport.h"

namespace vc::test {

namespace fs = std::filesystem;
using namespace vc::preview;

namespace {

constexpr const char* kFfmpeg = "ffmpeg -nostdin -hide_banner -loglevel error -y ";
constexpr const char* kNumbered =
    "-f lavfi -i \"color=c=black:s=160x120:r=25:d=4,format=rgb24,"
    "geq=r='25*mod(N\\,10)':g='25*trunc(N/10)':b=128\" ";

// Runs `script` (a shell text using $OUT for the file to write) once per build folder; the file
// is named after the script, made in a private folder and renamed into place.
std::string make(const std::string& name, const std::string& script) {
  char tag[32];
  std::snprintf(tag, sizeof tag, "%016zx", std::hash<std::string>()(script));
  const fs::path folder = fs::path(VELOCAST_FIXTURE_DIR) / "preview";
  const fs::path file = folder / (std::string(tag) + "-" + name);
  if (fs::exists(file)) return file.string();
  fs::create_directories(folder);
  std::string work = (folder / "work.XXXXXX").string();
  if (!mkdtemp(work.data())) throw std::runtime_error("mkdtemp failed");
  const std::string out = work + "/" + name;
  std::string output;
  if (RunCommand("cd '" + work + "' && OUT='" + out + "' && " + script + " 2>&1", &output) != 0) {
    fs::remove_all(work);
    throw std::runtime_error("fixture " + name + " failed: " + output);
  }
  std::error_code ec;
  fs::rename(out, file, ec);
  fs::remove_all(work);
  return file.string();
}

}  // namespace

const std::string& NumberedClip() {
  static const std::string file = make(
      "numbered.mp4", std::string(kFfmpeg) + kNumbered +
                          "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=4 -ac 2 "
                          "-c:v libx264 -g 25 -bf 2 -pix_fmt yuv420p -c:a aac -shortest \"$OUT\"");
  return file;
}

const std::string& SurroundWav() {
  static const std::string file =
      make("surround.wav", std::string(kFfmpeg) +
                               "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=2 "
                               "-af \"pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0\" -c:a pcm_f32le \"$OUT\"");
  return file;
}

const std::string& RawH264() {
  static const std::string file =
      make("raw.h264", std::string(kFfmpeg) + kNumbered + "-t 2 -c:v libx264 -bf 0 -pix_fmt yuv420p -f h264 \"$OUT\"");
  return file;
}

const std::string& TextSubtitleClip() {
  static const std::string file = make(
      "textsub.mkv",
      "printf '1\\n00:00:00,500 --> 00:00:01,500\\nHello\\n' > s.srt && " + std::string(kFfmpeg) + kNumbered +
          "-i s.srt -t 2 -map 0:v -map 1:s -c:v libx264 -pix_fmt yuv420p -c:s srt \"$OUT\"");
  return file;
}

const std::string& BitmapSubtitleClip() {
  static const std::string file = make(
      "dvdsub.mpg",
      std::string(kFfmpeg) +
          "-f lavfi -i \"color=c=0x404040:s=160x120:r=25:d=4\" -c:v mpeg2video -f dvd v.mpg && " + kFfmpeg +
          "-f lavfi -i color=c=white:s=60x20:d=1 -frames:v 1 -pix_fmt pal8 sub.png && "
          "printf '<subpictures><stream><spu start=\"00:00:01.00\" end=\"00:00:02.00\" image=\"sub.png\" "
          "xoffset=\"50\" yoffset=\"50\"/></stream></subpictures>' > s.xml && "
          "spumux -m dvd s.xml < v.mpg > \"$OUT\"");
  return file;
}

const std::string& InterlacedClip(bool bottomFirst) {
  auto make_ = [](const char* field, const char* top) {
    return make(std::string(field) + ".mpg", std::string(kFfmpeg) + "-f lavfi -i \"testsrc=s=160x120:r=25:d=1,setfield=" +
                                                 field + "\" -c:v mpeg2video -flags +ildct+ilme -top " + top + " \"$OUT\"");
  };
  static const std::string bottom = make_("bff", "0");
  static const std::string top = make_("tff", "1");
  return bottomFirst ? bottom : top;
}

const std::string& TwoAudioClip() {
  static const std::string file = make(
      "twoaudio.mkv", std::string(kFfmpeg) + kNumbered +
                          "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=4 "
                          "-f lavfi -i sine=frequency=880:sample_rate=22050:duration=4 "
                          "-map 0:v -map 1:a -map 2:a -ac:a:0 2 -ac:a:1 1 -c:v libx264 -g 25 -pix_fmt yuv420p "
                          "-c:a aac \"$OUT\"");
  return file;
}

int FrameNumber(const uint8_t* bgra, int width, int height) {
  const uint8_t* p = bgra + (static_cast<size_t>(height / 2) * width + width / 2) * 4;
  return static_cast<int>(std::lround(p[2] / 25.0)) + 10 * static_cast<int>(std::lround(p[1] / 25.0));
}

TPreviewRig::TPreviewRig(bool paced, bool keepVideoData)
    : Video(std::make_shared<TNullRenderer>(TMajorType::Video, paced, keepVideoData)),
      Sound(std::make_shared<TNullRenderer>(TMajorType::Audio, paced)) {
  Graph.SetVideoRenderer(Video);
  Graph.SetSoundRenderer(Sound);
  Player.SetFilterGraph(&Graph);
}

TPreviewRig::~TPreviewRig() { Graph.SetActive(false); }

bool TPreviewRig::Open(const std::string& file) {
  if (!Player.OpenFile(file)) return false;
  Graph.SetActive(true);
  return true;
}

std::vector<TRendererEntry> SamplesOfLastSegment(const std::vector<TRendererEntry>& log) {
  std::vector<TRendererEntry> samples;
  for (const TRendererEntry& entry : log) {
    if (entry.Kind == TRendererEntry::TKind::NewSegment) samples.clear();
    if (entry.Kind == TRendererEntry::TKind::Sample) samples.push_back(entry);
  }
  return samples;
}

bool EndedStream(const std::vector<TRendererEntry>& log) {
  return !log.empty() && log.back().Kind == TRendererEntry::TKind::EndOfStream;
}

}  // namespace vc::test
