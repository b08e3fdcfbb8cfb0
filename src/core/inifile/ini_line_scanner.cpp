#include "core/inifile/ini_line_scanner.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>

#include "core/errors/result_code.h"
#include "core/filex/filex_ospath.h"
#include "core/filex/text_file.h"
#include "core/inifile/inifile_fields.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"

using namespace inifile_detail;

namespace {

constexpr size_t npos = std::string_view::npos;

bool readAll(std::FILE* f, std::string& out) {
  char buf[8192];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  return !std::ferror(f);
}

// Decimal, or hexadecimal after "0x"/"0X"; the whole field must be a number.
bool parseInt(std::string_view s, int32_t& out) {
  s = trim(s);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  uint64_t v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  if (base == 16) {
    if (v > 0xFFFFFFFFull) return false;
    uint32_t u = static_cast<uint32_t>(v);
    out = static_cast<int32_t>(negative ? 0u - u : u);
    return true;
  }
  if (v > (negative ? 2147483648ull : 2147483647ull)) return false;
  out = negative ? static_cast<int32_t>(-static_cast<int64_t>(v)) : static_cast<int32_t>(v);
  return true;
}

bool parseDouble(std::string_view s, double& out) {
  s = trim(s);
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

bool isTrueWord(std::string_view s) {
  return s == "1" || StrX_equalsNoCase(s, "true") || StrX_equalsNoCase(s, "yes");
}

// Exactly `n` digits at `i`.
bool digits(std::string_view s, size_t& i, size_t n, int& out) {
  if (i + n > s.size()) return false;
  out = 0;
  for (size_t k = 0; k < n; ++k) {
    if (!StrX_isAsciiDigit(s[i + k])) return false;
    out = out * 10 + (s[i + k] - '0');
  }
  i += n;
  return true;
}

bool expect(std::string_view s, size_t& i, char c) {
  if (i >= s.size() || s[i] != c) return false;
  ++i;
  return true;
}

// Converts one field by its letter; 0 or a result code.
int convert(char letter, const Field& f, const IniScanOut& out) {
  const IniScanOut::Variant& v = out.get();
  switch (letter) {
    case 'b':
      if (auto* p = std::get_if<bool*>(&v)) {
        **p = isTrueWord(f.text);
        return 0;
      }
      return 1;
    case 'i':
      if (auto* p = std::get_if<int32_t*>(&v)) {
        if (!f.present) {
          **p = 0;
          return 0;
        }
        int32_t n = 0;
        if (!parseInt(f.text, n)) return ResultCode_BadText;
        **p = n;
        return 0;
      }
      return 1;
    case 'f':
      if (auto* p = std::get_if<double*>(&v)) {
        if (!f.present) {
          **p = 0.0;
          return 0;
        }
        double d = 0;
        if (!parseDouble(f.text, d)) return ResultCode_BadText;
        **p = d;
        return 0;
      }
      return 1;
    case 's':
      if (auto* p = std::get_if<IniScanText>(&v)) {
        size_t room = StrX_room(p->size);
        if (f.text.size() <= room) {
          *p->dst = f.text;
          return 0;
        }
        p->dst->assign(f.text, 0, Cp932_cutLength(f.text, room));
        return ResultCode_BufferTooSmall;
      }
      return 1;
    case 't':
      if (auto* p = std::get_if<IniScanTime>(&v)) {
        if (!f.present) return 0;
        std::time_t t = 0;
        int32_t zone = 0;
        if (!IniFile_parseTime(trim(f.text), t, zone)) return ResultCode_BadText;
        *p->time = t;
        if (p->zoneMinutes) *p->zoneMinutes = zone;
        return 0;
      }
      return 1;
    default:
      return 1;
  }
}

}  // namespace

int IniLineScanner::open(std::string_view path) {
  text_.clear();
  pos_ = 0;
  std::string p(path);
  std::optional<std::string> os = FileX_osPath(path);
  if (!os) {
    ResultCode_setMessage("<ERROR msg=\"Not found\" path=\"%s\" current=\"%s\"/>", p.c_str(),
                          StrX_currentFolderOrEmpty().c_str());
    return ResultCode_NotFound;
  }
  FilePtr f(std::fopen(os->c_str(), "rb"));
  if (!f) {
    int err = errno;
    if (err == ENOENT || err == ENOTDIR) {
      ResultCode_setMessage("<ERROR msg=\"Not found\" path=\"%s\" current=\"%s\"/>", p.c_str(),
                            StrX_currentFolderOrEmpty().c_str());
      return ResultCode_NotFound;
    }
    if (err == EACCES || err == EPERM) {
      ResultCode_setMessage("access denied \"%s\"\n", p.c_str());
      return ResultCode_AccessDenied;
    }
    return 1;
  }
  std::string bytes;
  if (!readAll(f.get(), bytes)) return 1;
  text_ = TextFile_fromDisk(bytes);
  return 0;
}

bool IniLineScanner::nextLine(std::string& line) {
  auto physical = [&](std::string& out) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == npos) end = text_.size();
    out.assign(text_, pos_, end - pos_);
    if (!out.empty() && out.back() == '\r') out.pop_back();
    pos_ = end < text_.size() ? end + 1 : end;
    return true;
  };
  if (!physical(line)) return false;
  size_t eq = line.find('=');
  if (eq == npos) return true;
  if (quoteShape(std::string_view(line).substr(eq + 1), false) != QuoteShape::Open) return true;
  // A quoted value that holds a line feed goes on over the following lines;
  // a quote that no later line closes in the writer's shape is a damaged
  // line, which stands alone so that the keys after it are still read.
  const size_t after = pos_;
  if (!joinQuotedLines(line, physical)) pos_ = after;
  return true;
}

bool IniFile_isKey(std::string_view line, std::string_view key) {
  size_t i = 0;
  while (i < line.size() && isBlank(line[i])) ++i;
  line.remove_prefix(i);
  if (key.empty() || !StrX_startsWithNoCase(line, key) || line.size() <= key.size()) return false;
  char c = line[key.size()];
  return c == '\t' || c == ' ' || c == '=';
}

std::string_view IniFile_value(std::string_view line) {
  size_t eq = line.find('=');
  if (eq == npos) return {};
  return trim(line.substr(eq + 1));
}

int IniFile_scanList(std::string_view value, uint32_t* mask, std::string_view format,
                     std::span<const IniScanOut> outs) {
  if (mask) *mask = 0;
  size_t pos = 0;
  size_t field = 0;
  for (size_t i = 0; i < format.size(); ++i, ++field) {
    bool optional = format[i] == '+';
    if (optional && ++i >= format.size()) return 1;
    if (field >= outs.size()) return 1;
    Field f;
    if (pos != npos) {
      f = readField(value, pos);
      pos = f.next;
    }
    if (f.present && mask && field < 32) *mask |= 1u << field;
    if (optional && !f.present) {
      // The output keeps the default the caller put there; the letter must
      // still be known.
      if (std::string_view("bifst").find(format[i]) == npos) return 1;
      continue;
    }
    if (int r = convert(format[i], f, outs[field])) return r;
  }
  return 0;
}

bool IniFile_parseTime(std::string_view s, std::time_t& time, int32_t& zoneMinutes) {
  size_t i = 0;
  int year = 0, month = 1, day = 1;
  if (!digits(s, i, 4, year)) return false;
  bool dateOnly = true;
  if (i < s.size()) {
    if (!expect(s, i, '-') || !digits(s, i, 2, month)) return false;
    if (i < s.size()) {
      if (!expect(s, i, '-') || !digits(s, i, 2, day)) return false;
      dateOnly = i >= s.size();
    }
  }
  if (month < 1 || month > 12 || day < 1 || day > 31) return false;
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  if (dateOnly) {
    tm.tm_isdst = -1;
    time = std::mktime(&tm);
    zoneMinutes = static_cast<int32_t>(tm.tm_gmtoff / 60);
    return true;
  }
  int hour = 0, minute = 0, second = 0;
  if (!expect(s, i, 'T') || !digits(s, i, 2, hour) || !expect(s, i, ':') ||
      !digits(s, i, 2, minute))
    return false;
  if (i < s.size() && s[i] == ':') {
    ++i;
    if (!digits(s, i, 2, second)) return false;
    if (i < s.size() && s[i] == '.') {
      ++i;
      size_t n = 0;
      while (i < s.size() && StrX_isAsciiDigit(s[i]) && n < 3) ++i, ++n;
      if (n == 0) return false;
    }
  }
  if (hour > 23 || minute > 59 || second > 60) return false;
  int offset = 0;
  if (i < s.size() && s[i] == 'Z') {
    ++i;
  } else if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    int sign = s[i] == '-' ? -1 : 1;
    ++i;
    int oh = 0, om = 0;
    if (!digits(s, i, 2, oh) || !expect(s, i, ':') || !digits(s, i, 2, om)) return false;
    if (oh > 23 || om > 59) return false;
    offset = sign * (oh * 60 + om);
  } else {
    return false;
  }
  if (i != s.size()) return false;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  time = timegm(&tm) - static_cast<std::time_t>(offset) * 60;
  zoneMinutes = offset;
  return true;
}

std::string IniFile_timeText(std::time_t time, int milliseconds) {
  std::tm tm{};
  localtime_r(&time, &tm);
  long off = tm.tm_gmtoff / 60;
  char sign = off < 0 ? '-' : '+';
  if (off < 0) off = -off;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d",
                tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                milliseconds, sign, static_cast<int>(off / 60), static_cast<int>(off % 60));
  return buf;
}
