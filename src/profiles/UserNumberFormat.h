#pragma once
// Numbers in the user's number settings, as the profile file stores "AudioBitrate": the decimal
// separator of the user's LC_NUMERIC locale (read from the environment, whatever locale the
// process itself runs in), "." when the locale names none.
#include <string>

namespace vc::profiles {

std::string UserDecimalSeparator();
// Shortest text that reads back as the same number ("12.2", "128"), with the user's separator.
std::string FormatUserFloat(double value);
// Reads a number written with the user's separator. "." and "," are accepted as well, so a file
// written under another locale still reads; false when the text is no number.
bool ParseUserFloat(const std::string& text, double& value);

}  // namespace vc::profiles
