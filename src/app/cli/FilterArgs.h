#pragma once
// The video filter options of velocast-cli convert. Each option builds the filter object the
// wizard's filter page would add, with the dialog's defaults for what the option leaves out, so a
// conversion from the terminal stores the same VideoFilters text as one from the desktop:
//   --logo FILE[@X,Y]
//   --text TEXT --font FILE [--text-at X,Y] [--font-size N] [--text-color RRGGBB] [--bg-color RRGGBB]
//   --subtitles FILE --font FILE [--subtitle-color RRGGBB] [--codepage NAME]
//   --vflip  --hflip  --negate  --rotate DEG  --box X,Y,W,H,COLOURNAME
// The options that qualify --text and --subtitles follow their filter option directly.
//
// The standard operations share one TVideoStdFilter as long as the filter's fixed part order
// (vflip, hflip, drawbox, negate, rotate) keeps the order they were given in: "--vflip --hflip
// --rotate 45" is one filter, as ticking the three boxes in the standard-filter dialog makes it;
// "--rotate 90 --vflip" is two filters, because one filter would flip before it turns.
#include <cstddef>
#include <memory>
#include <vector>

#include "app/cli/CliCommands.h"
#include "profiles/AVFilter.h"

namespace vc::cli {

using TFilterList = std::vector<std::unique_ptr<profiles::TAVFilter>>;

enum class TFilterArg {
  None,     // args[i] is not a filter option
  Taken,    // the option and its values went into filters; i is on the last argument read
  Invalid,  // the option cannot make a filter; a message went to stderr
};

// Reads the filter option at args[i] with its values and qualifiers and appends (or merges) its
// filter into filters.
TFilterArg TakeFilterOption(const TArgs& args, size_t& i, TFilterList& filters);

// Usage lines for the filter options, indented for the usage texts.
extern const char* const kFilterUsage;

}  // namespace vc::cli
