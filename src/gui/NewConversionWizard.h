#pragma once
// The new-conversion wizard as the main window calls it: given an optional source file, it gives
// the settings of the conversion the user composed, or null when there is none to run.
#include <memory>
#include <string>

class QWidget;

namespace vc::tasks {
class TConversionSettings;
}

namespace vc::gui {

// The wizard is not part of the program yet: until it is, no conversion is composed here.
std::unique_ptr<tasks::TConversionSettings> RunNewConversionWizard(QWidget* parent, const std::string& sourceFile);

}  // namespace vc::gui
