#pragma once
// Escaping of values written into filter-graph text. A value passes two parsers before it reaches
// a filter: the graph's, which splits filters at ',' and ';' and reads '[' ']' as link labels, and
// then the filter's option list, which splits options at ':'. Both take '\' and quotes as escapes
// and drop blanks at the ends of a token. A value escaped for both arrives at the filter as itself,
// whatever it holds, and can neither end its option nor start another filter.
#include <string>
#include <string_view>

namespace vc::media {

// For a value inside a filter's option list ("key=VALUE:key2=..."): escapes '\', quotes, ':' and
// blanks at either end.
std::string EscapeFilterOption(std::string_view value);

// For text inside a graph description: escapes '\', quotes, '[', ']', ',', ';' and blanks at either end.
std::string EscapeFilterGraph(std::string_view text);

// Both levels, in order: what a path or text needs as an option value in a graph description.
std::string EscapeFilterArgument(std::string_view value);

}  // namespace vc::media
