#pragma once
// Picks a picture's time stamp from the decoding stamp of its packet and the presentation stamp
// the decoder reordered with it, trusting whichever has gone backwards less often. Stamps are in
// the stream's time base; AV_NOPTS_VALUE means unknown.
#include <cstdint>

extern "C" {
#include <libavutil/avutil.h>
}

namespace vc::preview {

class TTimeStampGuesser final {
 public:
  void Reset() { *this = TTimeStampGuesser(); }

  int64_t Guess(int64_t decodingStamp, int64_t presentationStamp) {
    if (decodingStamp != AV_NOPTS_VALUE) {
      if (decodingStamp <= FLastDecoding) ++FFaultyDecoding;
      FLastDecoding = decodingStamp;
    }
    if (presentationStamp != AV_NOPTS_VALUE) {
      if (presentationStamp <= FLastPresentation) ++FFaultyPresentation;
      FLastPresentation = presentationStamp;
    }
    if (FFaultyDecoding < FFaultyPresentation && decodingStamp != AV_NOPTS_VALUE) return decodingStamp;
    if (presentationStamp != AV_NOPTS_VALUE) return presentationStamp;
    return decodingStamp;
  }

 private:
  int64_t FFaultyDecoding = 0;
  int64_t FFaultyPresentation = 0;
  int64_t FLastDecoding = AV_NOPTS_VALUE;
  int64_t FLastPresentation = AV_NOPTS_VALUE;
};

}  // namespace vc::preview
