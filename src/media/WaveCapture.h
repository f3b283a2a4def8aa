#pragma once
// The "wavcap" input: live sound from the default ALSA capture device as 16-bit interleaved
// PCM, at the sample rate and channel count of the format parameters "sample_rate" and
// "channels". One 4,096-byte recording buffer is filled and queued again, over and over, on a
// capture thread; each packet holds everything recorded since the packet before, stamped with
// the wall clock (µs) minus its own length. One capture can be open in the process at a time.
//
// Opening fails with -1 for a rate or channel count that is not positive (before the device is
// touched), with AVERROR(EBUSY) while another capture is open, and with -5 after logging "wave
// capture error:<the device's error text>" (or one of the other device messages) when the device
// cannot be opened, set up or started. Closing the input stops the recording.
namespace vc::media {

inline constexpr const char* kWaveCaptureFormat = "wavcap";
inline constexpr int kWaveCaptureBufferBytes = 4096;

// Registers the "wavcap" format with the input opener (InputOpener.h).
void RegisterWaveCapture();

}  // namespace vc::media
