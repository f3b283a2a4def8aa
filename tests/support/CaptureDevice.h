#pragma once
// A sound capture device for tests, without a sound card: ALSA's file plugin reading raw PCM
// (after its end, silence), made the default capture device of this process and of the programs
// it starts through ALSA_CONFIG_PATH.
//
// Read from a file, the plugin delivers as fast as it is read, which no sound card does: a
// capture stamps its packets with the wall clock, so a conversion places such sound by times
// that do not match it. Paced, the sound comes through a pipe that a thread fills one 4,096-byte
// period at a time, each when a sound card would have finished recording it.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "support/TestSupport.h"

namespace vc::test {

class TTestCaptureDevice final {
 public:
  enum class TPace { AsRead, RealTime };
  // The default capture device delivers samples (16-bit, interleaved); bytesPerSecond is the
  // pace of a real-time device.
  TTestCaptureDevice(const std::vector<int16_t>& samples, TPace pace = TPace::AsRead, int bytesPerSecond = 88200);
  // The default capture device names a sound card that is not there.
  TTestCaptureDevice();
  ~TTestCaptureDevice();  // gives ALSA_CONFIG_PATH its earlier value
  TTestCaptureDevice(const TTestCaptureDevice&) = delete;
  TTestCaptureDevice& operator=(const TTestCaptureDevice&) = delete;

  // "ALSA_CONFIG_PATH=... " to put before a command line.
  std::string Environment() const { return "ALSA_CONFIG_PATH=" + FConfig + " "; }

 private:
  void install(const std::string& pcm);
  void feed(std::vector<int16_t> samples, int bytesPerSecond);

  TTempDir FDir;
  std::string FConfig;
  bool FHadValue = false;
  std::string FEarlier;
  std::atomic<bool> FStop{false};
  std::thread FFeeder;
};

// count samples of a saw-like signal that does not repeat within 30,011 samples.
std::vector<int16_t> TestSoundSamples(size_t count);

// Where recorded lies in sound as one unbroken run: its offset, or -1.
long FindSoundRun(const std::vector<int16_t>& recorded, const std::vector<int16_t>& sound);

}  // namespace vc::test
