#pragma once
// A video filter text for today's libavfilter (see FilterText.h) may name the "synth" filter,
// which is ours and cannot be registered with the library. Such a text is cut at its "synth"
// items into the libavfilter sub-graphs that run before, between and after the script stages
// (SynthChain.h).
#include <string>
#include <vector>

namespace vc::media {

struct TFilterPlan {
  // libavfilter texts, one more than Scripts: Graphs[i] runs before Scripts[i]. An empty text is
  // no filter (the pictures pass unchanged).
  std::vector<std::string> Graphs;
  // The argument of each "synth" item, read as the graph parser reads a filter argument (quotes
  // and backslashes undone, blanks at the ends dropped); empty when the item has none.
  std::vector<std::string> Scripts;
};

// Cuts the "synth" items out of text, which must then be a plain chain (filters separated by ','
// without ';' or link labels). A text without "synth" comes back whole as Graphs[0]. A "synth"
// item in any other kind of text throws vc::base::EVelocastError("Error opening filters!") after
// logging why through the media library's log.
TFilterPlan CutSynthStages(const std::string& text);

}  // namespace vc::media
