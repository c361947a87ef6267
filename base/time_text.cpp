// Time stamps in the ctime layout, built from our own English names so that neither the
// user's locale nor another thread's call to the C library's shared buffer can change them.
#include "base/time_text.h"

#include <cstdio>

namespace {

const char* const WEEK_DAYS[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const MONTHS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool localTime(std::time_t t, std::tm& out) {
#ifdef _WIN32
  return localtime_s(&out, &t) == 0;
#else
  return localtime_r(&t, &out) != nullptr;
#endif
}

}  // namespace

std::string CtimeText(std::time_t t) {
  std::tm tm{};
  // A time the C library cannot convert gives no stamp rather than a made-up one.
  if (!localTime(t, tm)) return std::string();
  if (tm.tm_wday < 0 || tm.tm_wday > 6 || tm.tm_mon < 0 || tm.tm_mon > 11) return std::string();
  char text[64];
  std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %lld\n", WEEK_DAYS[tm.tm_wday],
                MONTHS[tm.tm_mon], tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                tm.tm_year + 1900LL);
  return text;
}
