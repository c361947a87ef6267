// Time stamps in the C library's ctime layout, in English whatever the locale, safe to
// build on any thread.
#pragma once

#include <ctime>
#include <string>

// "Www Mmm DD hh:mm:ss YYYY\n" for the local time t (25 characters with the line feed;
// the day of the month always has two digits).
std::string CtimeText(std::time_t t);
