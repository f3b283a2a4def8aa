#pragma once
// The filters' dialogs as an interface: the desktop implements it with its modal dialogs and
// installs it at start-up; this layer stays free of any toolkit.
namespace vc::profiles {

class TLogoFilter;
class TOverlayTextFilter;
class TSubtitleFilter;
class TVideoStdFilter;

enum class TFilterDialogMode {
  New,   // the dialog's own defaults
  Edit,  // filled from the filter
};

class IFilterDialogs {
 public:
  virtual ~IFilterDialogs() = default;
  // Each shows its filter's dialog modally. On OK the dialog's values are copied into the filter
  // and the result is true; on Cancel the filter is left alone and the result is false.
  virtual bool ShowLogoFilterDialog(TLogoFilter& filter, TFilterDialogMode mode) = 0;
  virtual bool ShowTextFilterDialog(TOverlayTextFilter& filter, TFilterDialogMode mode) = 0;
  virtual bool ShowSubtitleFilterDialog(TSubtitleFilter& filter, TFilterDialogMode mode) = 0;
  virtual bool ShowStdFilterDialog(TVideoStdFilter& filter, TFilterDialogMode mode) = 0;
};

// The installed dialogs. Asking for a dialog where none is installed (a program without a
// desktop) is a programming error.
IFilterDialogs& FilterDialogs();
// Installs the dialogs for this process (not owned; nullptr removes them).
void SetFilterDialogs(IFilterDialogs* dialogs);

}  // namespace vc::profiles
