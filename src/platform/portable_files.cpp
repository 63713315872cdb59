// Day fractions (days since 30 Dec 1899) to calendar parts and DOS date-time, both ways.
#include <cmath>
#include <cstdlib>

#include "platform/files.h"

namespace kestrune::platform {

namespace {

// Days since 1 Jan 1970 of a proleptic Gregorian date (Howard Hinnant's algorithm).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

// 30 Dec 1899 counted from 1 Jan 1970.
constexpr int64_t kEpochShift = -25569;

}  // namespace

double encodeDateTime(const DateTimeParts& p) {
  const int64_t days = daysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) - kEpochShift;
  const double time = (p.hour * 3600000.0 + p.minute * 60000.0 + p.second * 1000.0 + p.millisecond) / 86400000.0;
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

DateTimeParts decodeDateTime(double value) {
  DateTimeParts p;
  if (!std::isfinite(value) || std::fabs(value) > 3e6) return p;
  int64_t whole = static_cast<int64_t>(std::trunc(value));
  int64_t ms = std::llround(std::fabs(value - static_cast<double>(whole)) * 86400000.0);
  if (ms >= 86400000) {
    ms -= 86400000;
    whole += value >= 0 ? 1 : -1;
  }
  civilFromDays(whole + kEpochShift, p.year, p.month, p.day);
  p.hour = static_cast<int>(ms / 3600000);
  p.minute = static_cast<int>(ms / 60000 % 60);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.millisecond = static_cast<int>(ms % 1000);
  return p;
}

std::optional<uint32_t> dateTimeToDosDateTime(double days) {
  const DateTimeParts p = decodeDateTime(days);
  if (p.year < 1980 || p.year > 2107) return std::nullopt;
  const uint32_t date = static_cast<uint32_t>(((p.year - 1980) << 9) | (p.month << 5) | p.day);
  const uint32_t time = static_cast<uint32_t>((p.hour << 11) | (p.minute << 5) | (p.second / 2));
  return (date << 16) | time;
}

double dosDateTimeToDateTime(uint32_t dos) {
  DateTimeParts p;
  const uint32_t date = dos >> 16, time = dos & 0xFFFF;
  p.year = static_cast<int>((date >> 9) + 1980);
  p.month = static_cast<int>((date >> 5) & 15);
  p.day = static_cast<int>(date & 31);
  p.hour = static_cast<int>(time >> 11);
  p.minute = static_cast<int>((time >> 5) & 63);
  p.second = static_cast<int>((time & 31) * 2);
  if (p.month < 1) p.month = 1;
  if (p.month > 12) p.month = 12;
  if (p.day < 1) p.day = 1;
  return encodeDateTime(p);
}

}  // namespace kestrune::platform
