#pragma once
// How a new conversion is composed from the user's choices, shared by the wizard and the
// terminal program: target naming, the profile's options, the time range.
#include <string>

#include "engine/AVConvertOptions.h"
#include "profiles/AVProfile.h"

namespace vc::tasks {

// Everything from the last "." of the file-name part on is replaced by extension; without a "."
// there, extension is appended ("clip.avi" + ".3gp" = "clip.3gp", + "1.jpg" = "clip1.jpg").
std::string ReplaceExtension(const std::string& path, const std::string& extension);

// folder with a separator added when missing, followed by the file-name part of path.
std::string MoveToFolder(const std::string& folder, const std::string& path);

// The configured codec thread count; 0 in the configuration means the processor count.
int ConfiguredThreadCount();

// Empties the input format, sets the thread count from the configuration and lets the profile
// fill the rest. Raises what the profile raises.
void ApplyProfile(engine::TAVConvertOptions& options, const profiles::TAVProfile& profile);

// The range marked in the preview, in seconds: StartTime from start; RecordingTime the length
// when end is above 0, otherwise left as it is (no limit for a new option set).
void ApplyTimeRange(engine::TAVConvertOptions& options, double startSeconds, double endSeconds);

}  // namespace vc::tasks
