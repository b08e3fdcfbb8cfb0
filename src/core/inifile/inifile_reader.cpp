#include <cstdio>

#include "core/errors/errors.h"
#include "core/filex/text_file.h"
#include "core/inifile/inifile.h"
#include "core/inifile/inifile_fields.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_numbers.h"

using namespace inifile_detail;

namespace {

constexpr size_t npos = std::string_view::npos;

uint32_t hexValue(std::string_view s) {
  s = trim(s);
  if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.remove_prefix(2);
  uint32_t v = 0;
  for (char c : s) {
    const int d = StrX_hexDigit(c);
    if (d < 0) break;
    v = v * 16 + static_cast<uint32_t>(d);
  }
  return v;
}

// "%Y/%m/%d-%H:%M:%S": the six numbers in that order, as local time.
std::time_t timeValue(std::string_view s) {
  int n[6] = {0, 0, 0, 0, 0, 0};
  size_t i = 0;
  for (int k = 0; k < 6; ++k) {
    while (i < s.size() && !StrX_isAsciiDigit(s[i])) ++i;
    if (i >= s.size()) break;
    size_t used = 0;
    n[k] = StrX_toInt(s.substr(i), &used);
    i += used ? used : 1;
  }
  if (n[0] == 0) return 0;
  std::tm tm{};
  tm.tm_year = n[0] - 1900;
  tm.tm_mon = n[1] - 1;
  tm.tm_mday = n[2];
  tm.tm_hour = n[3];
  tm.tm_min = n[4];
  tm.tm_sec = n[5];
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

// Stores one field (empty when missing) by its type letter.
void storeField(char type, const std::string& field, const IniOut& out) {
  const IniOut::Variant& v = out.get();
  switch (type) {
    case 'b':
      if (auto* p = std::get_if<bool*>(&v)) {
        **p = !field.empty() && field[0] != '0';
        return;
      }
      break;
    case 'i':
      if (auto* p = std::get_if<int32_t*>(&v)) {
        **p = StrX_toInt(field);
        return;
      }
      break;
    case 'x':
      if (auto* p = std::get_if<uint32_t*>(&v)) {
        **p = hexValue(field);
        return;
      }
      break;
    case 's':
      if (auto* p = std::get_if<std::string*>(&v)) {
        **p = field;  // the length was checked by the caller
        return;
      }
      break;
    case 't':
      if (auto* p = std::get_if<std::time_t*>(&v)) {
        **p = timeValue(field);
        return;
      }
      break;
    default:
      break;
  }
  Errors_UNOFFICIAL();
}

// The name of a section line ("[name]" after trimming), or nullopt.
std::optional<std::string_view> sectionName(std::string_view line) {
  std::string_view t = trim(line);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return std::nullopt;
  return t.substr(1, t.size() - 2);
}

}  // namespace

void IniFileReader::open(std::string_view path) {
  std::optional<std::string> text = TextFile_read(path);
  if (!text) {
    std::string p(path);
    Errors_RAISE(FileX_Err_CannotReadOpen, "読みこみモードで open できません。%s", p.c_str());
  }
  openText(*text, path);
}

void IniFileReader::openText(std::string_view text, std::string_view path) {
  text_ = TextFile_fromDisk(text);
  path_.assign(path);
  pos_ = 0;
}

void IniFileReader::seek(int64_t pos) {
  pos_ = pos < 0 ? 0 : std::min(static_cast<size_t>(pos), text_.size());
}

bool IniFileReader::nextLine(std::string& line, size_t& start) {
  if (pos_ >= text_.size()) return false;
  start = pos_;
  size_t end = text_.find('\n', pos_);
  if (end == npos) end = text_.size();
  line.assign(text_, pos_, end - pos_);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  pos_ = end < text_.size() ? end + 1 : end;
  return true;
}

bool IniFileReader::nextNonBlank(std::string& line, size_t& start) {
  while (nextLine(line, start)) {
    if (!isBlankLine(line)) return true;
  }
  return false;
}

// A quoted value that holds a line feed goes on on the next line.
// A quote that no later line closes in the writer's shape is a damaged line:
// it stands alone, and the lines after it are read as lines of their own.
void IniFileReader::joinQuoted(std::string& line, size_t valueStart) {
  if (valueStart > line.size() ||
      quoteShape(std::string_view(line).substr(valueStart), false) != QuoteShape::Open)
    return;
  const size_t after = pos_;
  size_t start = 0;
  if (!joinQuotedLines(line, [&](std::string& more) { return nextLine(more, start); }))
    pos_ = after;
}

bool IniFileReader::attributeMatches(std::string_view line, std::string_view name,
                                     size_t* valueStart) const {
  size_t i = 0;
  while (i < line.size() && isBlank(line[i])) ++i;
  if (name.empty() || !StrX_startsWithNoCase(line.substr(i), name)) return false;
  i += name.size();
  if (i >= line.size() || (line[i] != ' ' && line[i] != ':' && line[i] != '=')) return false;
  if (valueStart) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i < line.size() && (line[i] == ':' || line[i] == '=')) ++i;
    while (i < line.size() && isBlank(line[i])) ++i;
    *valueStart = i;
  }
  return true;
}

void IniFileReader::readValues(std::string_view values, std::string_view types,
                               std::span<const IniOut> outs) {
  if (types.size() != outs.size()) Errors_UNOFFICIAL();
  size_t pos = 0;
  for (size_t k = 0; k < types.size(); ++k) {
    Field f;
    if (pos != npos) {
      f = readField(values, pos);
      pos = f.next;
    }
    if (types[k] == 's' && f.text.size() > IniFile_writeStringMax)
      Errors_RAISE(StrX_Err_BufOver, "%s: 文字列が長すぎます（%zu バイト、最大 %zu バイト）",
                   path_.c_str(), f.text.size(), IniFile_writeStringMax);
    storeField(types[k], f.text, outs[k]);
  }
}

void IniFileReader::setSection(std::string_view name) {
  std::string line;
  size_t start = 0;
  std::string n(name);
  if (!nextNonBlank(line, start))
    Errors_RAISE(FileX_Err_EOF, "EOF in IniFile_Read_setSection %s [%s]", path_.c_str(), n.c_str());
  std::optional<std::string_view> found = sectionName(line);
  if (!found)
    Errors_RAISE(IniFile_Err_BadFormat, "フォーマットがおかしい in IniFile_Read_setSection %s [%s]",
                 path_.c_str(), n.c_str());
  if (!StrX_equalsNoCase(*found, name)) {
    pos_ = start;
    Errors_RAISE(IniFile_NotFoundSection, "セクション名が期待したものと異なる %s [%s]", path_.c_str(),
                 n.c_str());
  }
}

void IniFileReader::findSection(std::string_view name, bool wrap) {
  std::string line;
  size_t start = 0;
  bool wrapped = !wrap;
  for (;;) {
    while (nextLine(line, start)) {
      std::optional<std::string_view> found = sectionName(line);
      if (found && *found == name) return;
    }
    if (wrapped) break;
    wrapped = true;
    pos_ = 0;
  }
  std::string n(name);
  Errors_RAISE(IniFile_NotFoundSection, "セクション %s が見つかりません", n.c_str());
}

void IniFileReader::readAttributeList(std::string_view name, std::string_view types,
                                      std::span<const IniOut> outs) {
  std::string line;
  size_t start = 0;
  if (!nextNonBlank(line, start)) Errors_RAISE(IniFile_Err_FewAttr, "属性が少ない");
  size_t valueStart = 0;
  if (!attributeMatches(line, name, &valueStart)) {
    std::string n(name);
    Errors_RAISE(IniFile_Err_BadAttr, "属性名が異なる（アプリ=%s, ファイル=%s in %s）", n.c_str(),
                 line.c_str(), path_.c_str());
  }
  joinQuoted(line, valueStart);
  readValues(std::string_view(line).substr(valueStart), types, outs);
}

int IniFileReader::countAttribute(std::string_view name) {
  size_t saved = pos_;
  int count = 0;
  std::string line;
  size_t start = 0;
  size_t valueStart = 0;
  while (nextNonBlank(line, start) && attributeMatches(line, name, &valueStart)) {
    joinQuoted(line, valueStart);
    ++count;
  }
  pos_ = saved;
  return count;
}

void IniFileReader::readOptionalAttribute(std::string_view name, char type, IniOut out,
                                          IniValue def) {
  if (countAttribute(name) > 0) {
    const IniOut list[] = {out};
    readAttributeList(name, std::string_view(&type, 1), list);
    return;
  }
  const IniValue::Variant& d = def.get();
  const IniOut::Variant& o = out.get();
  if (type == 'b' && std::holds_alternative<bool*>(o) && std::holds_alternative<bool>(d)) {
    *std::get<bool*>(o) = std::get<bool>(d);
  } else if (type == 'i' && std::holds_alternative<int32_t*>(o) &&
             std::holds_alternative<int32_t>(d)) {
    *std::get<int32_t*>(o) = std::get<int32_t>(d);
  } else if (type == 's' && std::holds_alternative<std::string*>(o) &&
             std::holds_alternative<std::string_view>(d)) {
    std::get<std::string*>(o)->assign(std::get<std::string_view>(d));
  } else {
    Errors_UNOFFICIAL();
  }
}

int64_t IniFileReader::readNextAttributeList(std::string& name, std::string_view types,
                                             std::span<const IniOut> outs) {
  std::string line;
  size_t start = 0;
  if (!nextNonBlank(line, start)) return -1;
  if (sectionName(line)) {
    pos_ = start;
    return -1;
  }
  size_t eq = line.find('=');
  name.assign(trim(std::string_view(line).substr(0, eq)));
  size_t valueStart = line.size();
  if (eq != npos) {
    valueStart = eq + 1;
    while (valueStart < line.size() && isBlank(line[valueStart])) ++valueStart;
    joinQuoted(line, valueStart);
  }
  readValues(std::string_view(line).substr(valueStart), types, outs);
  return static_cast<int64_t>(start);
}

void IniFileReader::checkHeader() {
  std::string app;
  int32_t version = 0;
  readAttribute("Application", "s", &app);
  readAttribute("Version", "i", &version);
  if (app != IniFile_appName)
    Errors_RAISE(IniFile_Err_OtherApp, "アプリケーションが異なります （file:%s, app:%s）",
                 app.c_str(), IniFile_appName);
  if (version < IniFile_minVersion || version > IniFile_appVersion)
    Errors_RAISE(IniFile_Err_OtherVer,
                 "アプリが対応していない、新しいバージョンのファイルです （file:%d, app:%d～%d）",
                 version, IniFile_minVersion, IniFile_appVersion);
}
