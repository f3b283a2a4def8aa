#pragma once
// The message boxes of the desktop: an error box captioned "Error" and a yes/no question
// captioned "Warning". Asked from a worker thread, the box shows on the UI thread while the
// worker waits for the answer.
#include "base/Prompts.h"

namespace vc::gui {

class TQtPrompts final : public base::IPrompts {
 public:
  void ShowError(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
};

}  // namespace vc::gui
