#pragma once
// Turns the video filter text stored in conversion settings (TFilterOptions.VideoFilters) into a
// filter-graph description that today's libavfilter runs with the effect the user chose.
//
// The stored text is the wizard's join of its filters' texts, written in the syntax of the filter
// library the program first shipped with. The join's wrapping is undone (see FilterJoin.h); a text
// the join cannot have written (typed by hand in today's syntax, "scale=320:240, vflip") is taken
// as one item. Each item is then read:
//   - "movie=0:png:FILE [wm];[in][wm] overlay=X:Y:1 [out]": the PNG picture overlaid at X,Y on
//     every frame (a movie source read as png_pipe into overlay=x=X:y=Y);
//   - "drawtext=fontfile=\'FONT\'#text='TEXT'#x=..#y=..#fontsize=..#fgcolor=0x..#bgcolor=0x..":
//     drawtext with fontfile, text ("\n" as line breaks, no %-expansion), x, y, fontsize,
//     fontcolor and a box in the background colour (its alpha 00 makes the box invisible);
//   - "ass=filename$FILE#font$FONT#color$0xRRGGBB00[#codepage$NAME]": the subtitles filter with the
//     font's folder as fontsdir, the font's family, weight and slant and the opaque colour forced
//     as the style, and charenc=NAME;
//   - "rotate=N" (whole degrees): a turn of N degrees clockwise keeping the frame size;
//   - "drawbox=X:Y:W:H:" without a colour name: the box in black, the colour the dialog starts with;
//   - empty items are dropped;
//   - anything else is today's syntax and is kept as it is (vflip, hflip, negate,
//     "drawbox=X:Y:W:H:Red", scale=..., ...).
// A text in which no item has one of the forms above comes back unchanged, byte for byte. Items
// the join wrapped but that hold the joined parts of one filter (" vflip,hflip,rotate=45 ") are
// read part by part. Every path and text is escaped for both levels of today's parser (FilterEscape.h), so a
// path with blanks, ':', ',', ';', '[', ']', quotes or backslashes reaches its filter as the same
// path and cannot add a filter or an option. The files named in the text are read by the filters
// when the graph is configured; only the subtitle font is read here, for its family name.
//
// Linking: the result holds the filters between one video input and one video output. Give it to
//   avfilter_graph_parse_ptr(graph, text, &inputs, &outputs, logContext)
// where `outputs` is one AVFilterInOut named "in" for pad 0 of the buffer source and `inputs` one
// named "out" for pad 0 of the buffer sink (libavfilter's filtering example links the same way).
// A plain chain is linked through the parser's defaults (its first filter to "in", its last to
// "out"); a text with a logo names "[in]" and "[out]" itself because the picture's movie source
// is a second chain. Either way the two names must be exactly "in" and "out". Filters of the
// caller's own (yadif at the head, a scaler before the sink) are created as filter contexts and
// linked around the text, "in" naming the output of the last head filter and "out" the input of
// the first tail filter; gluing them on as text ("yadif," + text) breaks texts with a logo.
// An empty result means there is no filter: link the source straight to the sink (or parse "null").
//
// Errors: an item in one of the old forms that cannot be read (a broken form, a number out of
// range, a subtitle font that is missing or not a font) throws
// vc::base::EVelocastError("Error opening filters!"). Just before, `log` (when set) receives one
// line naming the item and what is wrong with it; the engine passes its own log here, so that line
// is the last log line shown beside the error.
#include <functional>
#include <string>

namespace vc::media {

using TFilterTextLog = std::function<void(const std::string& line)>;

std::string TranslateFilterText(const std::string& stored, const TFilterTextLog& log = {});

}  // namespace vc::media
