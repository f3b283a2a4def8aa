#pragma once
#include <string>

#include "tasks/ConversionSettings.h"

namespace vc::cli {

// Converts settings.SourceFile into settings.TargetFile with its option set on a converter,
// showing progress; Ctrl+C asks the converter to stop. Returns ConversionExitStatus.
int RunConversion(const tasks::TConversionSettings& settings);

// 0 for a conversion that ended normally, 1 after an error (its box text went to stderr), 130
// after a stop (with a line saying the target holds the converted part).
int ConversionExitStatus(const std::string& targetFile, const std::string& errorText, bool stopped);

}  // namespace vc::cli
