#include "gui/NewConversionWizard.h"

#include "tasks/ConversionSettings.h"

namespace vc::gui {

std::unique_ptr<tasks::TConversionSettings> RunNewConversionWizard(QWidget*, const std::string&) { return nullptr; }

}  // namespace vc::gui
