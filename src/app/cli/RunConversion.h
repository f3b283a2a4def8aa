#pragma once
#include "tasks/ConversionSettings.h"

namespace vc::cli {

// Converts settings.SourceFile into settings.TargetFile with its option set on a converter,
// showing progress; Ctrl+C asks the converter to stop. Returns 0 for a conversion that ended
// normally, 1 after an error (its box text went to stderr), 130 after a stop.
int RunConversion(const tasks::TConversionSettings& settings);

}  // namespace vc::cli
