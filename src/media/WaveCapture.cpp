#include "media/WaveCapture.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <condition_variable>
#include <cstdarg>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "base/Format.h"
#include "media/InputOpener.h"

extern "C" {
#include <libavutil/time.h>
}

namespace vc::media {

namespace {

constexpr int kDeviceError = -5;  // the open's answer to every device failure

// The reader may fall behind (a paused conversion): past this many seconds of sound the capture
// thread waits for it and the device's own overrun handling takes over, instead of memory
// growing without end.
constexpr int kMostSecondsCollected = 10;

std::atomic<bool> captureOpen{false};

// Holds the process's one capture while alive.
class TCaptureSlot final {
 public:
  TCaptureSlot() : FHeld(!captureOpen.exchange(true)) {}
  ~TCaptureSlot() {
    if (FHeld) captureOpen = false;
  }
  TCaptureSlot(const TCaptureSlot&) = delete;
  TCaptureSlot& operator=(const TCaptureSlot&) = delete;
  bool Held() const { return FHeld; }

 private:
  bool FHeld;
};

void logDevice(const char* message, int error) {
  av_log(nullptr, AV_LOG_ERROR, "%s%s\n", message, snd_strerror(error));
}

// ALSA reports its own details on stderr; they belong in the media log, below the lines above.
void routeAlsaErrors(const char* file, int line, const char* function, int, const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  av_log(nullptr, AV_LOG_VERBOSE, "ALSA %s:%d (%s): %s\n", file, line, function, text);
}

struct TPcmCloser {
  void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};
using TPcmPtr = std::unique_ptr<snd_pcm_t, TPcmCloser>;

int readParameter(AVDictionary** options, const char* name, int otherwise) {
  const AVDictionaryEntry* entry = options ? av_dict_get(*options, name, nullptr, 0) : nullptr;
  if (!entry) return otherwise;
  int32_t value = 0;
  const bool read = base::TryParseInt32(entry->value, value);
  av_dict_set(options, name, nullptr, 0);  // taken
  return read ? value : 0;
}

class TWaveCapture final : public TOwnInput {
 public:
  TWaveCapture(std::unique_ptr<TCaptureSlot> slot, TPcmPtr device, int sampleRate, int channels)
      : FSlot(std::move(slot)), FDevice(std::move(device)), FSampleRate(sampleRate), FChannels(channels) {}

  ~TWaveCapture() override {
    {
      std::lock_guard lock(FMutex);
      FCapturing = false;
    }
    FSpace.notify_all();
    if (FThread.joinable()) FThread.join();
    snd_pcm_drop(FDevice.get());
  }

  int Start() {
    FCapturing = true;
    FThread = std::thread([this] { record(); });
    return 0;
  }

  int ReadPacket(AVPacket* packet) override {
    std::unique_lock lock(FMutex);
    if (FCollected.empty() && FCapturing)
      FArrived.wait_for(lock, std::chrono::milliseconds(10), [this] { return !FCollected.empty() || !FCapturing; });
    if (FCollected.empty()) return FCapturing ? AVERROR(EAGAIN) : AVERROR_EOF;
    const int size = static_cast<int>(FCollected.size());
    const int rc = av_new_packet(packet, size);
    if (rc < 0) return rc;
    std::memcpy(packet->data, FCollected.data(), FCollected.size());
    FCollected.clear();
    lock.unlock();
    FSpace.notify_all();
    // µs the packet's sound lasts: it ended now, so it began that long ago.
    const int64_t bytesPerSecond = static_cast<int64_t>(FSampleRate) * FChannels * 2;
    const int64_t length = static_cast<int64_t>(size) * AV_TIME_BASE / bytesPerSecond;
    packet->pts = av_gettime() - length;
    packet->dts = packet->pts;
    packet->duration = length;
    packet->stream_index = 0;
    packet->flags |= AV_PKT_FLAG_KEY;
    return 0;
  }

 private:
  // The capture thread: fills the one buffer and hands its bytes to the reader, until stopped
  // or the device fails.
  void record() {
    const int frameBytes = FChannels * 2;
    const snd_pcm_uframes_t bufferFrames = static_cast<snd_pcm_uframes_t>(kWaveCaptureBufferBytes / frameBytes);
    std::vector<uint8_t> buffer(bufferFrames * static_cast<size_t>(frameBytes));
    const size_t mostCollected =
        std::max(buffer.size(), static_cast<size_t>(FSampleRate) * static_cast<size_t>(frameBytes) * kMostSecondsCollected);
    snd_pcm_uframes_t filled = 0;  // frames
    while (capturing()) {
      {
        std::unique_lock lock(FMutex);
        FSpace.wait(lock, [&] { return !FCapturing || FCollected.size() + buffer.size() <= mostCollected; });
        if (!FCapturing) break;
      }
      if (snd_pcm_wait(FDevice.get(), 100) == 0) continue;
      const snd_pcm_sframes_t got =
          snd_pcm_readi(FDevice.get(), buffer.data() + filled * static_cast<size_t>(frameBytes), bufferFrames - filled);
      if (got == -EAGAIN) continue;
      if (got < 0) {
        // An overrun (the reader fell behind) or a suspend: start again; anything else ends it.
        if (snd_pcm_recover(FDevice.get(), static_cast<int>(got), 1) == 0 && snd_pcm_start(FDevice.get()) >= 0) continue;
        logDevice("wave capture error:", static_cast<int>(got));
        break;
      }
      filled += static_cast<snd_pcm_uframes_t>(got);
      if (filled < bufferFrames) continue;
      {
        std::lock_guard lock(FMutex);
        FCollected.insert(FCollected.end(), buffer.begin(), buffer.end());
      }
      FArrived.notify_all();
      filled = 0;  // the buffer is queued again
    }
    {
      std::lock_guard lock(FMutex);
      FCapturing = false;
    }
    FArrived.notify_all();
  }

  bool capturing() {
    std::lock_guard lock(FMutex);
    return FCapturing;
  }

  std::unique_ptr<TCaptureSlot> FSlot;  // released last
  TPcmPtr FDevice;
  const int FSampleRate;  // Hz
  const int FChannels;
  std::mutex FMutex;  // guards FCollected and FCapturing
  std::condition_variable FArrived;  // bytes collected or capture over
  std::condition_variable FSpace;    // the reader took the bytes, or stop
  std::vector<uint8_t> FCollected;   // recorded since the last packet
  bool FCapturing = false;
  std::thread FThread;
};

// The device set to 16-bit interleaved sound at rate and channels, in periods of the buffer's size.
int configureDevice(snd_pcm_t* pcm, int sampleRate, int channels) {
  snd_pcm_hw_params_t* hardware = nullptr;
  snd_pcm_hw_params_alloca(&hardware);
  int rc = snd_pcm_hw_params_any(pcm, hardware);
  if (rc >= 0) rc = snd_pcm_hw_params_set_access(pcm, hardware, SND_PCM_ACCESS_RW_INTERLEAVED);
  if (rc >= 0) rc = snd_pcm_hw_params_set_format(pcm, hardware, SND_PCM_FORMAT_S16_LE);
  if (rc >= 0) rc = snd_pcm_hw_params_set_channels(pcm, hardware, static_cast<unsigned>(channels));
  if (rc >= 0) rc = snd_pcm_hw_params_set_rate(pcm, hardware, static_cast<unsigned>(sampleRate), 0);
  if (rc < 0) return rc;
  snd_pcm_uframes_t period = static_cast<snd_pcm_uframes_t>(kWaveCaptureBufferBytes / (channels * 2));
  int direction = 0;
  snd_pcm_hw_params_set_period_size_near(pcm, hardware, &period, &direction);
  snd_pcm_uframes_t size = period * 8;
  snd_pcm_hw_params_set_buffer_size_near(pcm, hardware, &size);
  return snd_pcm_hw_params(pcm, hardware);
}

int openWaveCapture(const std::string&, AVFormatContext* context, AVDictionary** options,
                    std::unique_ptr<TOwnInput>& reader) {
  const int sampleRate = readParameter(options, "sample_rate", 0);
  const int channels = readParameter(options, "channels", 0);
  if (sampleRate <= 0 || channels <= 0) return -1;
  // 16-bit frames of a 4,096-byte buffer; more channels than that cannot be recorded.
  if (channels * 2 > kWaveCaptureBufferBytes) return -1;

  auto slot = std::make_unique<TCaptureSlot>();
  if (!slot->Held()) {
    av_log(nullptr, AV_LOG_ERROR, "wave capture error:another sound capture is recording\n");
    return AVERROR(EBUSY);
  }
  AVStream* stream = avformat_new_stream(context, nullptr);
  if (!stream) return AVERROR(ENOMEM);
  stream->id = 0;

  static std::once_flag errorsRouted;
  std::call_once(errorsRouted, [] { snd_lib_error_set_handler(routeAlsaErrors); });
  snd_pcm_t* pcm = nullptr;
  int rc = snd_pcm_open(&pcm, "default", SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
  if (rc < 0) {
    logDevice("wave capture error:", rc);
    return kDeviceError;
  }
  TPcmPtr device(pcm);
  if ((rc = configureDevice(pcm, sampleRate, channels)) < 0) {
    logDevice("wave capture error:", rc);
    return kDeviceError;
  }
  if ((rc = snd_pcm_prepare(pcm)) < 0) {
    logDevice("wave waveInPrepareHeader error:", rc);
    return kDeviceError;
  }

  AVCodecParameters* parameters = stream->codecpar;
  parameters->codec_type = AVMEDIA_TYPE_AUDIO;
  parameters->codec_id = AV_CODEC_ID_PCM_S16LE;
  parameters->format = AV_SAMPLE_FMT_S16;
  parameters->sample_rate = sampleRate;
  av_channel_layout_default(&parameters->ch_layout, channels);
  parameters->bits_per_coded_sample = 16;
  parameters->block_align = channels * 2;
  parameters->bit_rate = static_cast<int64_t>(sampleRate) * channels * 16;
  stream->time_base = AVRational{1, AV_TIME_BASE};  // packets are stamped in µs

  if ((rc = snd_pcm_start(pcm)) < 0) {
    logDevice("waveInStart error:", rc);
    return kDeviceError;
  }
  // The recording starts now; the conversion's clock counts from here. A capture has no end.
  context->duration = AV_NOPTS_VALUE;
  context->start_time = av_gettime();
  auto capture = std::make_unique<TWaveCapture>(std::move(slot), std::move(device), sampleRate, channels);
  capture->Start();
  reader = std::move(capture);
  return 0;
}

}  // namespace

void RegisterWaveCapture() { RegisterOwnInputFormat(kWaveCaptureFormat, openWaveCapture); }

}  // namespace vc::media
