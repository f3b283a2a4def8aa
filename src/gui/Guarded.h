#pragma once
// Qt event handlers must not let an exception through: the desktop's default error display is
// the error box.
#include <exception>
#include <functional>

#include "base/Prompts.h"

namespace vc::gui {

inline void Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    base::Prompts().ShowError(e.what());
  }
}

}  // namespace vc::gui
