#include "TaskTestSupport.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>

#include "base/AppPaths.h"
#include "base/Format.h"
#include "tasks/AVConfiguration.h"

namespace vc::test {

namespace {

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

void CreateTaskDatabaseFile(const std::string& file) {
  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  if (RunCommand("sqlite3 " + shellQuoted(file) + " < " + shellQuoted(VELOCAST_SOURCE_DIR "/data/av.sql")) != 0)
    throw std::runtime_error("sqlite3 could not make " + file);
}

TTaskDbFixture::TTaskDbFixture() : FFile(tasks::TTaskDatabase::DefaultFile()) {
  CreateTaskDatabaseFile(FFile);
  FDb = std::make_unique<tasks::TTaskDatabase>();
  tasks::Configuration().ShowAlert = true;
  tasks::Configuration().ShutdownWhenDone = false;
}

TTaskDbFixture::~TTaskDbFixture() = default;

std::string TTaskDbFixture::Query(const std::string& sql) const {
  std::string out;
  if (RunCommand("sqlite3 -nullvalue NULL " + shellQuoted(FFile) + " " + shellQuoted(sql), &out) != 0)
    throw std::runtime_error("sqlite3 failed on: " + sql);
  return out;
}

const std::string& TaskClip() {
  static const std::string clip = [] {
    const std::filesystem::path folder = std::filesystem::path(VELOCAST_FIXTURE_DIR) / "tasks";
    const std::filesystem::path file = folder / "clip.mkv";
    if (!std::filesystem::exists(file)) {
      std::filesystem::create_directories(folder);
      // Made under a private name and renamed, as test processes run side by side.
      const std::string partial = file.string() + base::Format(".%d.mkv", static_cast<int>(getpid()));
      const std::string command =
          "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=25 "
          "-f lavfi -i sine=frequency=440:sample_rate=44100 -t 3 -c:v mpeg4 -c:a mp2 " +
          shellQuoted(partial);
      if (RunCommand(command) != 0) throw std::runtime_error("ffmpeg could not make the task clip");
      std::filesystem::rename(partial, file);
    }
    return file.string();
  }();
  return clip;
}

std::unique_ptr<tasks::TConversionSettings> ClipSettings(const std::string& source, const std::string& target,
                                                         int categoryId) {
  auto settings = std::make_unique<tasks::TConversionSettings>();
  settings->SourceFile = source;
  settings->TargetFile = target;
  settings->Profile = "AVI MPEG-4";
  settings->CategoryId = categoryId;
  settings->ConvertOptions.OutputFormat = "avi";
  settings->ConvertOptions.VideoOptions.EncoderVideoCodecName = "mpeg4";
  settings->ConvertOptions.AudioOptions.EncoderAudioCodecName = "mp2";
  return settings;
}

double ProbeDuration(const std::string& file) {
  std::string out;
  if (RunCommand("ffprobe -v error -show_entries format=duration -of csv=p=0 " + shellQuoted(file), &out) != 0)
    return -1;
  try {
    return std::stod(out);
  } catch (...) {
    return -1;
  }
}

bool TUiThread::PumpUntil(const std::function<bool()>& done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    Dispatcher.waitForMessages(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace vc::test
