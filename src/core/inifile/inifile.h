// The sectioned settings files of the program: the writer, the strict
// ordered reader, and the shared-file write under a named lock.
//
// Layout (LF in memory, CR LF on disk):
//   "[name] "                  a section line; a " " line before every one
//                              except the first
//   "name = v1, v2"            an attribute line ("name = " with no values)
//   " "                        the last line of the file
// Values by type letter: b "1"/"0", i "%d", s CSV-quoted text (at most 4096
// bytes both ways), t local "%Y/%m/%d-%H:%M:%S", x "0x%X".
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>

class FileX_AtomicFile;

inline constexpr int IniFile_lockWaitMs = 180000;
// The longest "s" value, in bytes, the same for writing and reading: a
// longer text is refused (3183), never written or read cut.
inline constexpr size_t IniFile_writeStringMax = 4096;
inline constexpr size_t IniFile_stringSize = IniFile_writeStringMax + 1;  // terminator included
inline constexpr const char* IniFile_appName = "Zerbin";
inline constexpr int32_t IniFile_appVersion = 300;
inline constexpr int32_t IniFile_minVersion = 100;

// One value given to the writer; the type letter says how it is written.
class IniValue {
 public:
  IniValue(bool v) : v_(v) {}
  IniValue(int32_t v) : v_(v) {}
  IniValue(uint32_t v) : v_(v) {}
  IniValue(std::time_t v) : v_(v) {}
  IniValue(const char* v) : v_(std::string_view(v)) {}
  IniValue(std::string_view v) : v_(v) {}
  IniValue(const std::string& v) : v_(std::string_view(v)) {}
  using Variant = std::variant<bool, int32_t, uint32_t, std::time_t, std::string_view>;
  const Variant& get() const { return v_; }

 private:
  Variant v_;
};

// One output of the reader: b bool, i int32_t, s std::string, t time_t,
// x uint32_t.
class IniOut {
 public:
  IniOut(bool* p) : p_(p) {}
  IniOut(int32_t* p) : p_(p) {}
  IniOut(uint32_t* p) : p_(p) {}
  IniOut(std::time_t* p) : p_(p) {}
  IniOut(std::string* p) : p_(p) {}
  using Variant = std::variant<bool*, int32_t*, uint32_t*, std::time_t*, std::string*>;
  const Variant& get() const { return p_; }

 private:
  Variant p_;
};

// Writes a settings file in memory; close() replaces the file on disk in
// one step (a writer left without close() leaves the old file untouched).
class IniFileWriter {
 public:
  IniFileWriter();
  ~IniFileWriter();
  IniFileWriter(const IniFileWriter&) = delete;
  IniFileWriter& operator=(const IniFileWriter&) = delete;

  // 362 "書きこみモードで open できません。%s" when the file cannot be created.
  void open(std::string_view path);
  void section(std::string_view name);
  // One value per type letter, e.g. attribute("Rect", "iiii", l, t, r, b).
  template <class... V>
  void attribute(std::string_view name, std::string_view types, const V&... values) {
    const IniValue list[] = {IniValue(values)..., IniValue(false)};
    attributeList(name, types, std::span<const IniValue>(list, sizeof...(V)));
  }
  void attributeList(std::string_view name, std::string_view types,
                     std::span<const IniValue> values);
  // Writes the last line and the file (365 when writing fails).
  void close();
  // The text so far, with LF line ends.
  const std::string& text() const { return text_; }

 private:
  std::string path_;
  std::string text_;
  bool anySection_ = false;
  std::unique_ptr<FileX_AtomicFile> file_;
};

// Reads a settings file line by line in the order it was written.  Every
// failure raises (361, 363, 591, 593, 595, 596, 597, 598).  CR LF and LF
// line ends are both read; a quoted value goes on over line breaks.
class IniFileReader {
 public:
  // 363 "読みこみモードで open できません。%s".
  void open(std::string_view path);
  // Reads `text` as if it were the content of the file `path`.
  void openText(std::string_view text, std::string_view path);

  // The next non-blank line must be "[name]" (no case).  361 at the end,
  // 593 for a line that is no section line, 591 for another section (the
  // position is then left at the start of that line).
  void setSection(std::string_view name);
  // Forward to "[name]" (exact case); with `wrap` once more from the start.
  // 591 "セクション %s が見つかりません".
  void findSection(std::string_view name, bool wrap);

  // The next non-blank line must be `name` (no case) followed by a space,
  // ':' or '='; 596 (naming both texts) otherwise, 595 at the end of the
  // file.  Missing fields at the end give false, 0 or "".
  template <class... O>
  void readAttribute(std::string_view name, std::string_view types, O... outs) {
    const IniOut list[] = {IniOut(outs)..., IniOut(static_cast<bool*>(nullptr))};
    readAttributeList(name, types, std::span<const IniOut>(list, sizeof...(O)));
  }
  void readAttributeList(std::string_view name, std::string_view types,
                         std::span<const IniOut> outs);
  // Consecutive lines from here that begin with `name`; the position stays.
  int countAttribute(std::string_view name);
  // readAttribute when the attribute is there, else the default (b, i, s).
  void readOptionalAttribute(std::string_view name, char type, IniOut out, IniValue def);
  // The next attribute line, whatever its name: `name` gets the trimmed text
  // before the first '='.  -1 at the end of the file or at a section line
  // (the position is left before it); else the position of the line.
  template <class... O>
  int64_t readNextAttribute(std::string& name, std::string_view types, O... outs) {
    const IniOut list[] = {IniOut(outs)..., IniOut(static_cast<bool*>(nullptr))};
    return readNextAttributeList(name, types, std::span<const IniOut>(list, sizeof...(O)));
  }
  int64_t readNextAttributeList(std::string& name, std::string_view types,
                                std::span<const IniOut> outs);
  // Application (s) must be "Zerbin" (597) and Version (i) 100..300 (598).
  void checkHeader();

  int64_t tell() const { return static_cast<int64_t>(pos_); }
  void seek(int64_t pos);
  const std::string& path() const { return path_; }

 private:
  bool nextLine(std::string& line, size_t& start);
  bool nextNonBlank(std::string& line, size_t& start);
  void joinQuoted(std::string& line, size_t valueStart);
  bool attributeMatches(std::string_view line, std::string_view name, size_t* valueStart) const;
  void readValues(std::string_view values, std::string_view types, std::span<const IniOut> outs);

  std::string path_;
  std::string text_;  // LF line ends
  size_t pos_ = 0;
};

// The write pattern of a file shared by the running processes: hold the
// named lock `lockName` (at most 180000 ms; after a timeout the write goes
// on and the timeout is logged), write "<path>_" with `body`, rename it over
// `path`, and remove the temporary file when anything failed.  Raises what
// the writer raises (362, 365); the lock is released on every path.  An
// empty `lockName` means that the caller already holds the lock.
void IniFile_writeShared(std::string_view path, std::string_view lockName,
                         const std::function<void(IniFileWriter&)>& body);
