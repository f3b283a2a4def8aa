#pragma once
// The texts of the task list's cells: sizes, durations, bit rates and completion dates.
#include <cstdint>
#include <ctime>
#include <string>

namespace vc::tasks {

// Whole kibibytes, the remainder dropped: "%dKB".
std::string SizeCaption(int64_t bytes);

// Seconds rounded to the nearest whole second (a half goes to the even neighbour), as "h:m:s"
// without leading zeros.
std::string DurationCaption(double seconds);

// The pattern "###,###.0#": thousands grouped by three with thousandsSeparator, at least one and at
// most two decimals after decimalSeparator, no digit before the separator below 1 (0 gives ".0").
std::string FormatGroupedDecimal(double value, const std::string& thousandsSeparator,
                                 const std::string& decimalSeparator);
// The same with the separators of the C library's current numeric locale.
std::string BitrateCaption(double kbitPerSecond);

// The stored completion time: "YYYY-MM-DD HH:MM:SS" in local time, so ordering the text orders the
// dates. time is seconds since the epoch.
std::string StoredDateText(std::time_t time);
// Reads StoredDateText's form back; 0 when the text is not in that form.
std::time_t ParseStoredDate(const std::string& text);

// The locale's short date, a blank and its long time (the C library's current time locale); the
// time is left out at exactly midnight. Empty for 0, the time of a date that did not parse.
std::string DateCaption(std::time_t time);

}  // namespace vc::tasks
