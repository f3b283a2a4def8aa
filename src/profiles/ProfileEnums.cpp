#include "profiles/ProfileEnums.h"

namespace vc::profiles {

const std::array<const char*, 9> VideoEncoderNames = {"H263", "H264",     "MPEG4", "WMV2", "MPEG2VIDEO",
                                                      "MSMPEGV3", "RV20", "XVID",  "FLV"};
const std::array<const char*, 8> AudioEncoderNames = {"AAC", "WMAV2",     "AC3", "MP2",
                                                      "MP3", "PCM_S16LE", "RA1", "AMR_NB"};
const std::array<const char*, 17> FormatNames = {"NONE", "RM",  "MP4",  "ASF",  "AVI", "3GP", "3GP2", "FLV", "MOV",
                                                 "PSP",  "IPOD", "SVCD", "VCD", "VOB", "DVD", "WEBM", "AC3"};
const std::array<const char*, 8> FrameRateNames = {"Original", "14.99", "20", "23.97", "24", "25", "29.97", "30"};
const std::array<const char*, 2> ChannelNames = {"mono", "stereo"};

// Row 4's lone parenthesis and row 25's "678" are the names users have always seen.
const std::array<TFrameSize, 39> FrameSizes = {{
    {"Original", 0, 0},
    {"ntsc(720x480)", 720, 480},
    {"pal(720x576)", 720, 576},
    {"352x240", 352, 240},
    {"240x240)", 240, 240},
    {"368x208", 368, 208},
    {"spal(768x576)", 768, 576},
    {"720x406", 720, 406},
    {"480x320", 480, 320},
    {"sqcif(128x96)", 128, 96},
    {"qcif(176x144)", 176, 144},
    {"cif(352x288)", 352, 288},
    {"4cif(704x576)", 704, 576},
    {"16cif(1408x1152)", 1408, 1152},
    {"qqvga(160x120)", 160, 120},
    {"qvga(320x240)", 320, 240},
    {"vga(640x480)", 640, 480},
    {"svga(800x600)", 800, 600},
    {"xga(1024x768)", 1024, 768},
    {"uxga(1600x1200)", 1600, 1200},
    {"qxga(2048x1536)", 2048, 1536},
    {"sxga(1280x1024)", 1280, 1024},
    {"qsxga(2560x2048)", 2560, 2048},
    {"hsxga(5120x4096)", 5120, 4096},
    {"wvga(852x480)", 852, 480},
    {"wxga(1366x678)", 1366, 768},
    {"wsxga(1600x1024)", 1600, 1024},
    {"wuxga(1920x1200)", 1920, 1200},
    {"woxga(2560x1600)", 2560, 1600},
    {"wqsxga(3200x2048)", 3200, 2048},
    {"wquxga(3840x2400)", 3840, 2400},
    {"whsxga(6400x4096)", 6400, 4096},
    {"whuxga(7680x4800)", 7680, 4800},
    {"cga(320x200)", 320, 200},
    {"ega(640x350)", 640, 350},
    {"hd480(852x480)", 852, 480},
    {"hd720(1280x720)", 1280, 720},
    {"hd1080(1920x1080)", 1920, 1080},
    {"1440x1080", 1440, 1080},
}};

TAVFrameSize FrameSizeOf(int32_t width, int32_t height) {
  for (size_t i = 0; i < FrameSizes.size(); ++i)
    if (FrameSizes[i].Width == width && FrameSizes[i].Height == height) return static_cast<TAVFrameSize>(i);
  return TAVFrameSize::fsOriginal;
}

const std::vector<std::string> AudioEncoderValueNames = {"AAC", "WMAV2",     "AC3", "MP2",
                                                         "MP3", "PCM_S16LE", "RA1", "AMR_NB"};
const std::vector<std::string> AudioChannelsValueNames = {"mono1", "stereo2"};
const std::vector<std::string> FormatValueNames = {"F_NONE", "F_RM",   "F_MP4",  "F_ASF", "F_AVI", "F_3GP",
                                                   "F_3GP2", "F_FLV",  "F_MOV",  "F_PSP", "F_IPOD", "F_SVCD",
                                                   "F_VCD",  "F_VOB",  "F_DVD",  "F_WEBM", "F_AC3"};
const std::vector<std::string> VideoEncoderValueNames = {"H263",     "H264", "MPEG4", "WMV2", "MPEG2VIDEO",
                                                         "MSMPEGV3", "RV20", "XVID",  "FLV"};
const std::vector<std::string> FrameRateValueNames = {"rOriginal", "r1499", "r20",   "r2397",
                                                      "r24",       "r25",   "r2997", "r30"};
const std::vector<std::string> AspectRatioValueNames = {"AR_NONE", "AR4_3"};
const std::vector<std::string> TargetValueNames = {"pal", "ntsc", "film"};
const std::vector<std::string> ImageTypeValueNames = {"bitmap", "jpeg", "png", "gif", "tiff"};
const std::vector<std::string> PresetValueNames = {"basic",          "FastFirstPass", "SlowFirstPass", "Common",
                                                   "HighQuality",    "Best",          "LosslessFast",  "LosslessMedium",
                                                   "LosslessSlow",   "LosslessSlower", "LosslessMax"};

}  // namespace vc::profiles
