#include "profiles/ProfileCatalogue.h"

#include <memory>
#include <sstream>

#include "profiles/AVCustomVideoProfile.h"
#include "profiles/AVImageProfile.h"
#include "profiles/AVTargetProfile.h"

namespace vc::profiles {

namespace {

enum class TKind { SVcd, Dvd, Dv50, Dv, Vcd, Image, Audio, Video };

using A = TCustomAudioEncoder;
using V = TCustomVideoEncoder;
using F = TCustomAVFormat;
using R = TCustomFrameRate;
using I = TAVImageType;
constexpr auto mono = TCustomAudioChannels::mono1;
constexpr auto stereo = TCustomAudioChannels::stereo2;
constexpr auto none = TAVAspectRatio::AR_NONE;
constexpr auto ar43 = TAVAspectRatio::AR4_3;

struct TRow {
  TKind Kind;
  const char* Name;
  const char* Description;  // empty: the class's own
  const char* Extension;    // empty: the class's own
  const char* Category;
  // Custom profiles.
  F Format;
  A Audio;
  int SampleRate;  // Hz
  TCustomAudioChannels Channels;
  double AudioKbit;
  // Video profiles.
  V Video;
  int Width, Height;  // pixels
  R Rate;
  int VideoKbit;
  TAVAspectRatio Aspect;
  const char* Options;  // lines separated by spaces
  // Image profiles.
  I Image;
};

// Rows of one kind leave the other kinds' columns at their zero values.
TRow fixed(TKind kind, const char* name) { return {kind, name, "", "", "", {}, {}, 0, {}, 0, {}, 0, 0, {}, 0, {}, "", {}}; }
TRow image(const char* name, const char* description, const char* extension, const char* category, I type) {
  return {TKind::Image, name, description, extension, category, {}, {}, 0, {}, 0, {}, 0, 0, {}, 0, {}, "", type};
}
TRow audio(const char* name, const char* description, const char* extension, const char* category, F format, A enc,
           int hz, TCustomAudioChannels ch, double kbit) {
  return {TKind::Audio, name, description, extension, category, format, enc, hz, ch, kbit,
          {},           0,    0,           {},        0,        {},     "",  {}};
}
TRow video(const char* name, const char* description, const char* extension, const char* category, F format, A enc,
           int hz, TCustomAudioChannels ch, double kbit, V venc, int w, int h, R rate, int vkbit, TAVAspectRatio ar,
           const char* options = "") {
  return {TKind::Video, name, description, extension, category, format, enc, hz, ch, kbit, venc, w, h, rate, vkbit,
          ar,           options, {}};
}

constexpr const char* kIPhoneOptions = "maxrate=1000000 qmin=3 qmax=5 bufsize=4096k g=300";

// The category spellings ("XBox" beside "Xbox") and description typos are the shipped ones:
// stored conversions name their profile by description.
const TRow kCatalogue[] = {
    fixed(TKind::SVcd, "pfSVcd"),
    fixed(TKind::Dvd, "pfDvd_old"),
    fixed(TKind::Dv50, "pfDv50"),
    fixed(TKind::Dv, "pfDv"),
    fixed(TKind::Vcd, "pfVcd"),
    image("pfImage", "Image Sequence Profile", ".bmp", "", I::bitmap),
    audio("pfMp3", "MP3 Audio", ".mp3", "Audio", F::F_NONE, A::MP3, 48000, stereo, 192),
    video("pfTV264_320", "Apple TV H264 Video(320x240)", ".mp4", "Apple TV", F::F_NONE, A::AAC, 48000, stereo, 64,
          V::H264, 320, 240, R::r2997, 1500, none),
    video("pfTV264_480", "Apple TV H264 video(640x480)", ".mp4", "Apple TV", F::F_NONE, A::AAC, 48000, stereo, 64,
          V::H264, 640, 480, R::r2997, 2000, none),
    video("pfTV264_720", "Apple TV H264 video(1280x720)", ".mp4", "Apple TV", F::F_NONE, A::AAC, 48000, stereo, 64,
          V::H264, 1280, 720, R::r2997, 2500, none),
    video("pfTVMP4_480", "Apple TV MPEG-4 high quality video(640x480)", ".mp4", "Apple TV", F::F_NONE, A::AAC, 44100,
          stereo, 128, V::MPEG4, 640, 480, R::r2997, 1500, none),
    video("pfTVMP4_480_hq", "Apple TV MPEG-4 video(640x480)", ".mp4", "Apple TV", F::F_NONE, A::AAC, 44100, stereo, 96,
          V::MPEG4, 640, 480, R::r2997, 1200, none),
    video("pfTVMP4_480_lq", "Apple TV MPEG-4 low quality video(640x480)", ".mp4", "Apple TV", F::F_NONE, A::AAC, 44100,
          stereo, 64, V::MPEG4, 640, 480, R::r2997, 768, none),
    video("pfZuneMP4", "Zune MPEG4 Video(320x240)", ".mp4", "Zune", F::F_NONE, A::AAC, 44100, stereo, 64, V::MPEG4, 320,
          240, R::r25, 768, none),
    video("pfZuneAVC", "Zune H264 Video(320x240)", ".mp4", "Zune", F::F_NONE, A::AAC, 44100, stereo, 64, V::H264, 320,
          240, R::r25, 768, none),
    video("pfZuneWMV", "Zune Windows Media WMV(320x240)", ".wmv", "Zune", F::F_NONE, A::WMAV2, 48000, stereo, 128,
          V::WMV2, 320, 240, R::r25, 1500, none),
    video("pfWMX51", "Dell Axim X51 Video", ".wmv", "Windows Mobile", F::F_NONE, A::WMAV2, 32000, stereo, 128, V::WMV2,
          320, 240, R::r25, 768, none),
    video("pfWMX51v", "Dell Axim X51v Video", ".wmv", "Windows Mobile", F::F_NONE, A::WMAV2, 48000, stereo, 128,
          V::WMV2, 320, 240, R::r25, 1000, none),
    video("pfWMPocketPC", "General Pocket PC Video", ".wmv", "Windows Mobile", F::F_NONE, A::WMAV2, 32000, stereo, 128,
          V::WMV2, 320, 240, R::r25, 768, none),
    video("pfWMPocketPC_lq", "General Pocket PC Video(Low Quality)", ".wmv", "Windows Mobile", F::F_NONE, A::WMAV2,
          32000, stereo, 128, V::WMV2, 176, 144, R::r25, 384, none),
    video("pfWMHP_hw6500", "HP iPAQ hw6500", ".wmv", "Windows Mobile", F::F_NONE, A::WMAV2, 32000, stereo, 128,
          V::WMV2, 240, 240, R::r25, 384, none),
    video("pfWMHP_hx2000", "HP iPAQ hx2000/rx3000/rx1900", ".wmv", "Windows Mobile", F::F_NONE, A::WMAV2, 32000, stereo,
          128, V::WMV2, 320, 240, R::r25, 768, none),
    video("pfWMHP_hx4700", "HP iPAQ hx4700", ".wmv", "Windows Mobile", F::F_NONE, A::WMAV2, 48000, stereo, 128,
          V::WMV2, 640, 480, R::r25, 1200, none),
    video("pfPS3_hd", "PS3 1080 HD Video", ".mp4", "PS3", F::F_NONE, A::AAC, 48000, stereo, 128, V::H264, 1920, 1080,
          R::r2997, 35000, none),
    video("pfPS3_720", "PS3 720p Video", ".mp4", "PS3", F::F_NONE, A::AAC, 48000, stereo, 128, V::H264, 1280, 720,
          R::r2997, 15000, none),
    video("pfPS3_480", "PS3 480p Video", ".mp4", "PS3", F::F_NONE, A::AAC, 48000, stereo, 80, V::H264, 720, 480,
          R::r2997, 5000, none),
    video("pfPSP_Mpeg4", "PSP MPEG4 Video", ".mp4", "PSP", F::F_PSP, A::AAC, 48000, stereo, 64, V::XVID, 368, 208,
          R::r2997, 512, none),
    video("pfPSP_AVC", "PSP AVC Video", ".mp4", "PSP", F::F_PSP, A::AAC, 48000, stereo, 64, V::H264, 368, 208, R::r2997,
          512, none),
    video("pfPSP_HQ", "PSP 480p Video", ".mp4", "PSP", F::F_PSP, A::AAC, 48000, stereo, 80, V::H264, 368, 208, R::r2997,
          1200, none),
    video("pfIPhone_264", "IPhone H264 Video", ".mp4", "IPhone", F::F_MP4, A::AAC, 48000, stereo, 128, V::H264, 480,
          320, R::r2997, 1000, ar43),
    video("pfIPhone_264_tele", "IPhone H264 Television Video", ".mp4", "IPhone", F::F_MP4, A::AAC, 48000, stereo, 128,
          V::H264, 640, 480, R::r2997, 1800, none),
    video("pfIPhone_mpeg4", "IPhone MPEG4 Video", ".mp4", "IPhone", F::F_MP4, A::AAC, 48000, stereo, 128, V::MPEG4, 480,
          320, R::r2997, 1000, ar43, kIPhoneOptions),
    video("pfIPhone_mpeg4_tele", "IPhone MPEG4 Television Video", ".mp4", "IPhone", F::F_MP4, A::AAC, 48000, stereo,
          128, V::MPEG4, 640, 480, R::r2997, 1800, none, kIPhoneOptions),
    video("pfIPhone_mpeg4_wide", "IPhone MPEG4 Wide Screen Video", ".mp4", "IPhone", F::F_MP4, A::AAC, 44100, stereo,
          128, V::XVID, 720, 406, R::r2997, 1500, none, kIPhoneOptions),
    video("pfIPod", "IPod 320x240 Video", ".mp4", "IPod", F::F_IPOD, A::AAC, 48000, stereo, 128, V::XVID, 320, 240,
          R::r2997, 768, ar43),
    video("pfIPod_HQ", "IPod 320x240 High Quality Video", ".mp4", "IPod", F::F_IPOD, A::AAC, 48000, stereo, 192,
          V::XVID, 320, 240, R::r2997, 1000, ar43),
    video("pfIPod_LQ", "IPod 320x240 Low Quality Video", ".mp4", "IPod", F::F_IPOD, A::AAC, 48000, stereo, 64, V::XVID,
          320, 240, R::r2997, 512, ar43),
    video("pf3gp", "3GPP", ".3gp", "Mobile", F::F_3GP, A::AMR_NB, 8000, mono, 12.2, V::H263, 176, 144, R::rOriginal,
          128, none),
    video("pf3gp2", "3GPP2", ".3g2", "Mobile", F::F_3GP2, A::AAC, 16000, stereo, 32, V::MPEG4, 176, 144, R::r1499, 192,
          none, "flags=bitexact"),
    video("pf3gp2_hq", "3GPP2 High Quality", ".3g2", "Mobile", F::F_3GP2, A::AAC, 16000, stereo, 32, V::MPEG4, 320, 240,
          R::r1499, 384, none, "flags=bitexact"),
    video("pfIPad_H264", "IPad H264 Video", ".mp4", "IPad", F::F_NONE, A::AAC, 44100, stereo, 128, V::H264, 720, 576,
          R::r25, 1800, none),
    video("pfIPad_H264_HQ", "IPad H264 Hiqh Quality", ".mp4", "IPad", F::F_NONE, A::AAC, 48000, stereo, 160, V::H264,
          1280, 720, R::r25, 4000, none),
    video("pfXb_H264_HD", "Xbox360 HD H264 Video", ".mp4", "XBox", F::F_NONE, A::AAC, 48000, stereo, 128, V::H264, 640,
          480, R::r2997, 1500, none),
    video("pfXb_MPEG_MCE", "Xbox360 MCE HD MPEG2 Video", ".mpg", "Xbox", F::F_NONE, A::AC3, 48000, stereo, 224,
          V::MPEG2VIDEO, 1440, 1080, R::r30, 8000, none),
    video("pfMKV", "Matroska Video", ".mkv", "Video", F::F_NONE, A::MP3, 48000, stereo, 128, V::H264, 0, 0, R::r25, 1200,
          none),
    video("pfDVD_PAL", "DVD MPEG TS(PAL)", ".vob", "Video", F::F_DVD, A::AC3, 48000, stereo, 448, V::MPEG2VIDEO, 720,
          576, R::r25, 6000, none),
    video("pfDVD_NTSC", "DVD MPEG2 PS(NTSC)", ".vob", "Video", F::F_DVD, A::AC3, 48000, stereo, 448, V::MPEG2VIDEO, 720,
          480, R::r2997, 6000, none),
    video("pfFlash", "Flash Video", ".flv", "Video", F::F_FLV, A::MP3, 44100, stereo, 64, V::FLV, 0, 0, R::r1499, 384,
          none),
    video("pfMOV", "Apple Quicktime Video", ".mov", "Video", F::F_MOV, A::AAC, 44100, stereo, 192, V::MPEG4, 352, 288,
          R::r25, 2000, none),
    image("pfJpeg", "JPEG Sequence", "1.jpg", "Images", I::jpeg),
    image("pfGif", "GIF Sequence", "1.gif", "Images", I::gif),
    image("pfPng", "PNG Sequence", "1.png", "Images", I::png),
    image("pfBmp", "BMP Sequence", "1.bmp", "Images", I::bitmap),
    image("pfTiff", "TIFF Sequence", "1.tif", "Images", I::tiff),
    audio("pfMp3_320", "MP3 Audio 320", ".mp3", "Audio", F::F_NONE, A::MP3, 48000, stereo, 320),
    audio("pfMp3_256", "MP3 Audio 256", ".mp3", "Audio", F::F_NONE, A::MP3, 48000, stereo, 256),
};

void fillAudio(TAVCustomAudioProfile& p, const TRow& row) {
  p.Format = row.Format;
  p.AudioEncoder = row.Audio;
  p.SampleRate = row.SampleRate;
  p.AudioChannels = row.Channels;
  p.AudioBitrate = row.AudioKbit;
  std::istringstream lines(row.Options);
  for (std::string line; lines >> line;) p.Options.Add(line);
}

std::unique_ptr<TAVProfile> makeProfile(const TRow& row) {
  switch (row.Kind) {
    case TKind::SVcd: return std::make_unique<TAVSVcdProfile>();
    case TKind::Dvd: return std::make_unique<TAVDvdProfile>();
    case TKind::Dv50: return std::make_unique<TAVDv50Profile>();
    case TKind::Dv: return std::make_unique<TAVDvProfile>();
    case TKind::Vcd: return std::make_unique<TAVVcdProfile>();
    case TKind::Image: {
      auto p = std::make_unique<TAVImageProfile>();
      p->ImageType = row.Image;
      return p;
    }
    case TKind::Audio: {
      auto p = std::make_unique<TAVCustomAudioProfile>();
      fillAudio(*p, row);
      return p;
    }
    case TKind::Video: {
      auto p = std::make_unique<TAVCustomVideoProfile>();
      fillAudio(*p, row);
      p->VideoEncoder = row.Video;
      p->FrameWidth = row.Width;
      p->FrameHeight = row.Height;
      p->FrameRate = row.Rate;
      p->VideoBitrate = row.VideoKbit;
      p->FrameAspectRatio = row.Aspect;
      return p;
    }
  }
  return nullptr;
}

}  // namespace

void BuildCatalogue(TAVProfileList& list) {
  list.Categories = {"Mobile", "Audio", "Video", "IPad", "IPhone", "IPod",
                     "Zune",   "PSP",   "PS3",   "Xbox", "Windows Mobile", "Apple TV"};
  for (const TRow& row : kCatalogue) {
    auto p = makeProfile(row);
    p->Name = row.Name;
    if (*row.Description) p->Description = row.Description;
    if (*row.Extension) p->SetExtension(row.Extension);
    p->Category = row.Category;
    list.Add(std::move(p));
  }
}

}  // namespace vc::profiles
