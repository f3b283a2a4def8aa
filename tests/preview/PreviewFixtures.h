#pragma once
// Small media files for the preview tests, made once per build folder with the ffmpeg CLI (and
// spumux) and cached in VELOCAST_FIXTURE_DIR/preview, plus a rig that plays one through the
// player on a graph with null renderers.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "preview/AVPlayer.h"
#include "preview/MediaGraph.h"
#include "preview/NullRenderer.h"

namespace vc::test {

inline constexpr int kClipFrames = 100;       // frames of the numbered clip
inline constexpr int64_t kFrameUnits = 400000;  // 100-ns units of one frame at 25 fps

// 160x120, 25 fps, 4 s; frame n is one colour: red 25 * (n % 10), green 25 * (n / 10), blue 128.
// H.264 with B-frames and a key frame every second; AAC stereo 44.1 kHz sine.
const std::string& NumberedClip();
// 2 s of sound only: 5.1 channels of 32-bit float at 48 kHz.
const std::string& SurroundWav();
// 2 s of raw H.264 (25 fps): its packets carry no time stamps.
const std::string& RawH264();
// 2 s of the numbered clip's pictures with a text (SRT) subtitle track, Matroska.
const std::string& TextSubtitleClip();
// MPEG-2 program stream, 160x120 grey (0x40) for 4 s, with a DVD subpicture from 1.0 s to 2.0 s:
// an opaque box covering x 50..109, y 50..69.
const std::string& BitmapSubtitleClip();
// 1 s of interlaced MPEG-2 pictures (160x120, 25 fps), bottom or top field first.
const std::string& InterlacedClip(bool bottomFirst);
// The numbered clip's pictures with two sound streams: stereo 44.1 kHz and mono 22.05 kHz.
const std::string& TwoAudioClip();

// The frame number a numbered-clip picture shows (BGRA, read at its centre).
int FrameNumber(const uint8_t* bgra, int width, int height);

// A player on a graph with a null video renderer and a null sound renderer.
struct TPreviewRig {
  explicit TPreviewRig(bool paced, bool keepVideoData = true);
  ~TPreviewRig();
  // Opens the file through the player and activates the graph (which renders the source).
  bool Open(const std::string& file);
  preview::TFFPushSource& Source() const { return *Player.Source(); }

  std::shared_ptr<preview::TNullRenderer> Video;
  std::shared_ptr<preview::TNullRenderer> Sound;
  preview::TMediaGraph Graph;
  preview::TAVPlayer Player;
};

// Entries of a renderer's log after the last new segment, samples only.
std::vector<preview::TRendererEntry> SamplesOfLastSegment(const std::vector<preview::TRendererEntry>& log);
// Log entries are complete up to an end of stream.
bool EndedStream(const std::vector<preview::TRendererEntry>& log);

inline constexpr std::chrono::milliseconds kWait{20000};

}  // namespace vc::test
