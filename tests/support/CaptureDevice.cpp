#include "support/CaptureDevice.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>

namespace vc::test {

namespace {

std::string filePcm(const std::string& input) {
  return "pcm.!default {\n  type file\n  slave.pcm { type null }\n  file \"/dev/null\"\n  infile \"" + input +
         "\"\n  format \"raw\"\n}\n";
}

}  // namespace

TTestCaptureDevice::TTestCaptureDevice(const std::vector<int16_t>& samples, TPace pace, int bytesPerSecond) {
  const std::string input = FDir.File("capture.raw");
  if (pace == TPace::AsRead) {
    std::ofstream(input, std::ios::binary)
        .write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
  } else {
    mkfifo(input.c_str(), 0600);
    FFeeder = std::thread([this, samples, bytesPerSecond] { feed(samples, bytesPerSecond); });
  }
  install(filePcm(input));
}

TTestCaptureDevice::TTestCaptureDevice() { install("pcm.!default {\n  type hw\n  card 31\n}\n"); }

void TTestCaptureDevice::install(const std::string& pcm) {
  FConfig = FDir.File("asound.conf");
  std::ofstream(FConfig) << pcm;
  if (const char* earlier = std::getenv("ALSA_CONFIG_PATH")) {
    FHadValue = true;
    FEarlier = earlier;
  }
  setenv("ALSA_CONFIG_PATH", FConfig.c_str(), 1);
}

// Writes each period when a sound card started at the reader's open would have it recorded; a
// reader that goes away ends the feed (the write fails instead of raising SIGPIPE).
void TTestCaptureDevice::feed(std::vector<int16_t> samples, int bytesPerSecond) {
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
  const std::string input = FDir.File("capture.raw");
  int fd = -1;
  while (!FStop && (fd = open(input.c_str(), O_WRONLY | O_NONBLOCK)) < 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  if (fd < 0) return;
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  const auto* bytes = reinterpret_cast<const uint8_t*>(samples.data());
  const size_t total = samples.size() * 2;
  constexpr size_t period = 4096;
  const auto start = std::chrono::steady_clock::now();
  for (size_t sent = 0; sent < total && !FStop;) {
    const size_t size = std::min(period, total - sent);
    std::this_thread::sleep_until(start + std::chrono::microseconds(static_cast<int64_t>(sent + size) * 1000000 / bytesPerSecond));
    if (write(fd, bytes + sent, size) != static_cast<ssize_t>(size)) break;
    sent += size;
  }
  close(fd);
}

TTestCaptureDevice::~TTestCaptureDevice() {
  FStop = true;
  if (FFeeder.joinable()) FFeeder.join();
  if (FHadValue)
    setenv("ALSA_CONFIG_PATH", FEarlier.c_str(), 1);
  else
    unsetenv("ALSA_CONFIG_PATH");
}

std::vector<int16_t> TestSoundSamples(size_t count) {
  std::vector<int16_t> samples(count);
  for (size_t i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(static_cast<int>((i * 37) % 30011) - 15000);
  return samples;
}

long FindSoundRun(const std::vector<int16_t>& recorded, const std::vector<int16_t>& sound) {
  if (recorded.empty() || recorded.size() > sound.size()) return -1;
  for (size_t at = 0; at + recorded.size() <= sound.size(); ++at)
    if (sound[at] == recorded[0] && std::equal(recorded.begin(), recorded.end(), sound.begin() + static_cast<long>(at)))
      return static_cast<long>(at);
  return -1;
}

}  // namespace vc::test
