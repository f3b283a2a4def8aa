#pragma once
// Reading back the join that the wizard makes of its filters' texts: items separated by ',', where
// an item holding a space, a comma or a control character is wrapped in one space on each side
// with every space inside it doubled; an empty list is "", a list of one empty item is two spaces.
#include <optional>
#include <string>
#include <vector>

namespace vc::media {

// The items of a joined text, exactly as they were before the join. Nothing when the text cannot
// have come from the join (an unwrapped item holding a blank or a control character, a wrapped
// item without its closing space, a single space inside a wrapped item).
std::optional<std::vector<std::string>> SplitFilterJoin(const std::string& text);

}  // namespace vc::media
