#pragma once
// TAVFilter: a video filter the user adds to a conversion. It knows its settings, names itself for
// the wizard's list, renders itself as one piece of filter-graph text and shows its own dialog.
// The pieces of all filters are joined (JoinFilterStrings) into TFilterOptions.VideoFilters; that
// text is a stored format, written in the syntax of the filter library the program first shipped
// with, and media/FilterText.h translates it for today's library.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Persistent.h"

namespace vc::profiles {

// A colour as stored by the desktop: red in the low byte, then green, then blue; the top byte is
// not a colour component.
using TColor = int32_t;

// The colour as 0xRRGGBB (the top byte dropped).
uint32_t ColorToRGB(TColor color);

class TAVFilter : public base::TPersistent {
 public:
  TAVFilter(const TAVFilter&) = delete;
  TAVFilter& operator=(const TAVFilter&) = delete;

  // The filter-graph text of this filter.
  virtual std::string GetFilterString() const = 0;
  // The text shown in the wizard's filter list.
  virtual std::string GetDisplayName() const = 0;
  // Shows the filter's dialog with the dialog's own defaults; on OK copies its values into the
  // filter and returns true; on Cancel changes nothing and returns false (the wizard then
  // destroys the new filter). The dialogs come from the desktop (FilterDialogs.h).
  virtual bool ShowNewDialog() = 0;
  // Shows the dialog filled with the filter's values; true after OK copied them back.
  virtual bool ShowEditDialog() = 0;

 protected:
  TAVFilter() = default;
};

// The join of filter texts: "" for no item, two spaces for one empty item; otherwise the items
// separated by ",", where an item holding a space, a comma or a control character is wrapped in
// one space on each side with every space inside it doubled.
std::string JoinFilterStrings(const std::vector<std::string>& items);

// TFilterOptions.VideoFilters for the filters in list order.
std::string VideoFiltersText(const std::vector<std::unique_ptr<TAVFilter>>& filters);

}  // namespace vc::profiles
