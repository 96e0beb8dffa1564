#pragma once
// The local clock and the system's short-date pattern, read where the windows need them and
// handed down: the rooms below never read the clock themselves.

#include <string>

#include "records/history_file.h"

namespace trilane {

// The local date and time, to the minute.
CalendarTime Now();

// The system's short date as a pattern of d, M and y for a history line; the default pattern
// when the system's lacks the day, the month or the year.
std::string ShortDatePattern();

}  // namespace trilane
