#pragma once
// The per-frame clip functions: each keeps the size and the 4:2:0 layout of its clip. Values
// are 8-bit; luma (Y) and chroma (U, V, centred on 128) are handled as the names say.
#include "scriptclip/Clip.h"

namespace vc::scriptclip {

// Every sample s becomes 255 - s (the picture's negative).
TClipRef MakeInvert(TClipRef child);
// Luma kept, chroma set to 128.
TClipRef MakeGreyscale(TClipRef child);
// Lines in reverse order, or the pixels of each line in reverse order.
TClipRef MakeFlip(TClipRef child, bool vertical);

// Y' = (Y - 16) * cont + bright + 16; the chroma vector turned by hue degrees and scaled by sat.
// Ranges: hue -180..180, sat 0..10, bright -255..255, cont 0..10. Throws TScriptError outside.
struct TTweak {
  double Hue = 0;
  double Sat = 1;
  double Bright = 0;
  double Cont = 1;
};
TClipRef MakeTweak(TClipRef child, const TTweak& tweak);

// Luma from inputLow..inputHigh onto outputLow..outputHigh along a curve of the given gamma;
// chroma scaled around 128 by the same ratio of ranges. Levels 0..255, gamma 0.01..10, the input
// range not empty. Throws TScriptError outside.
struct TLevels {
  int InputLow = 0;
  double Gamma = 1;
  int InputHigh = 255;
  int OutputLow = 0;
  int OutputHigh = 255;
};
TClipRef MakeLevels(TClipRef child, const TLevels& levels);

}  // namespace vc::scriptclip
