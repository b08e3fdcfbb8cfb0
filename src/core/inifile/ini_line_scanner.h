// The tolerant settings reader: walks a file line by line, recognises a
// line by its key and converts the value with type letters ("+b", "+i",
// "s", "iiii", "+t" ...).  Keys may stand in any order and in any case;
// unknown lines are skipped by the caller.  Nothing here raises: results
// are ResultCode values.
#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// A text output of the scanner: the field, cut to size-1 bytes (1041).
struct IniScanText {
  std::string* dst;
  size_t size;
};
// A date-time output: the moment (seconds since 1970, UTC) and the offset
// of the text's zone from UTC in minutes.  A date alone is local midnight.
struct IniScanTime {
  std::time_t* time;
  int32_t* zoneMinutes;  // may be null
};

// One output of IniFile_scan, matching its letter: b bool, i int32_t,
// f double, s IniScanText, t IniScanTime.
class IniScanOut {
 public:
  IniScanOut(bool* p) : p_(p) {}
  IniScanOut(int32_t* p) : p_(p) {}
  IniScanOut(double* p) : p_(p) {}
  IniScanOut(IniScanText t) : p_(t) {}
  IniScanOut(IniScanTime t) : p_(t) {}
  using Variant = std::variant<bool*, int32_t*, double*, IniScanText, IniScanTime>;
  const Variant& get() const { return p_; }

 private:
  Variant p_;
};

// Reads a settings file line by line (CR LF and LF).
class IniLineScanner {
 public:
  // 0; 1048 for a missing file (message "<ERROR msg="Not found" path=..."
  // current=.../>"), 1047 when access is denied (message "access denied
  // "path"\n"), 1 for other failures.  Messages go to ResultCode_setMessage.
  int open(std::string_view path);
  // The next line without its end; false at the end of the file.  A line
  // whose value opens a quoted field that holds a line feed is joined with
  // the following lines (by LF).  Lines are never cut.
  bool nextLine(std::string& line);

 private:
  std::string text_;
  size_t pos_ = 0;
};

// Whether `line`, after spaces and tabs, begins with `key` (ASCII case
// ignored, double-byte characters exact) followed by a tab, a space or '='.
bool IniFile_isKey(std::string_view line, std::string_view key);
// The text after the first '=' without the blanks around it and without a
// CR or LF at its end ("" when there is no '=').
std::string_view IniFile_value(std::string_view line);

// Converts the comma-separated fields of `value` by the letters of `format`
// (see the letters of IniScanOut).  A '+' before a letter makes that field
// optional: an empty field keeps the output as it was.  Without '+' an empty
// field gives false, 0, 0.0 or "" (and leaves a date-time output alone).
// `mask` (may be null) gets bit k for each field k that was present.
// 0; 1041 a text was cut; 1045 a number or date-time that cannot be read;
// 1 an unknown letter or an output of the wrong kind.  On a failure the
// outputs converted so far stay.
int IniFile_scanList(std::string_view value, uint32_t* mask, std::string_view format,
                     std::span<const IniScanOut> outs);
template <class... O>
int IniFile_scan(std::string_view value, uint32_t* mask, std::string_view format, O... outs) {
  const IniScanOut list[] = {IniScanOut(outs)..., IniScanOut(static_cast<bool*>(nullptr))};
  return IniFile_scanList(value, mask, format, std::span<const IniScanOut>(list, sizeof...(O)));
}

// Reads one ISO 8601 date-time ("2024-05-06T07:08", seconds and up to three
// fraction digits optional, then "Z" or "+hh:mm"/"-hh:mm"), or a date alone
// ("2024", "2024-05", "2024-05-06"); false for anything else.
bool IniFile_parseTime(std::string_view text, std::time_t& time, int32_t& zoneMinutes);
// The date-time text read back by "t":
// "%04d-%02d-%02dT%02d:%02d:%02d.%03d" and "%c%02d:%02d", local time and its
// offset from UTC.
std::string IniFile_timeText(std::time_t time, int milliseconds = 0);
