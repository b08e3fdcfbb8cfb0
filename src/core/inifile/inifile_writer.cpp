#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <optional>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex_atomic.h"
#include "core/filex/filex_ospath.h"
#include "core/filex/text_file.h"
#include "core/inifile/inifile.h"
#include "core/lock/named_lock.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_fields.h"

namespace {

std::string localTimeText(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d-%02d:%02d:%02d", tm.tm_year + 1900,
                tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

// The text of one value by its type letter; a value of another kind is a
// contradiction in the caller.
std::string valueText(char type, const IniValue& value) {
  const IniValue::Variant& v = value.get();
  char buf[32];
  switch (type) {
    case 'b':
      if (auto* b = std::get_if<bool>(&v)) return *b ? "1" : "0";
      break;
    case 'i':
      if (auto* i = std::get_if<int32_t>(&v)) {
        std::snprintf(buf, sizeof buf, "%d", *i);
        return buf;
      }
      break;
    case 'x':
      if (auto* x = std::get_if<uint32_t>(&v)) {
        std::snprintf(buf, sizeof buf, "0x%X", *x);
        return buf;
      }
      if (auto* i = std::get_if<int32_t>(&v)) {
        std::snprintf(buf, sizeof buf, "0x%X", static_cast<uint32_t>(*i));
        return buf;
      }
      break;
    case 't':
      if (auto* t = std::get_if<std::time_t>(&v)) return localTimeText(*t);
      break;
    case 's':
      if (auto* s = std::get_if<std::string_view>(&v)) {
        // Never written cut: the reader takes the same limit.
        if (s->size() > IniFile_writeStringMax)
          Errors_RAISE(StrX_Err_BufOver, "文字列が長すぎます（%zu バイト、最大 %zu バイト）",
                       s->size(), IniFile_writeStringMax);
        return StrX_csvQuote(*s);
      }
      break;
    default:
      break;
  }
  Errors_UNOFFICIAL();
}

}  // namespace

IniFileWriter::IniFileWriter() = default;
IniFileWriter::~IniFileWriter() = default;

void IniFileWriter::open(std::string_view path) {
  path_.assign(path);
  text_.clear();
  anySection_ = false;
  file_.reset();
  Except_tryCatch([&] { file_ = std::make_unique<FileX_AtomicFile>(path); },
                  [&](const Errors_Msg& e) {
                    if (e.code != FileX_Err_CannotWriteOpen) Except_throw(e);
                    Errors_RAISE(FileX_Err_CannotWriteOpen, "書きこみモードで open できません。%s",
                                 path_.c_str());
                  });
}

void IniFileWriter::section(std::string_view name) {
  if (anySection_) text_ += " \n";
  anySection_ = true;
  text_ += "[";
  text_ += name;
  text_ += "] \n";
}

void IniFileWriter::attributeList(std::string_view name, std::string_view types,
                                  std::span<const IniValue> values) {
  if (types.size() != values.size()) Errors_UNOFFICIAL();
  // The whole line first: a value that raises leaves no part of it.
  std::string line(name);
  line += " = ";
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) line += ", ";
    line += valueText(types[i], values[i]);
  }
  text_ += line;
  text_ += "\n";
}

void IniFileWriter::close() {
  text_ += " \n";
  if (!file_) return;  // never opened: the text stays in memory only
  std::unique_ptr<FileX_AtomicFile> file = std::move(file_);
  file->write(TextFile_toDisk(text_));
  file->commit();
}

namespace {

// Removes "<path>_" when it is still there at the end (a failed rename, or a
// raise while writing after an earlier run left one).
class TempRemover {
 public:
  explicit TempRemover(std::string os) : os_(std::move(os)) {}
  ~TempRemover() {
    if (!os_.empty()) std::remove(os_.c_str());
  }
  TempRemover(const TempRemover&) = delete;
  TempRemover& operator=(const TempRemover&) = delete;

 private:
  std::string os_;
};

}  // namespace

void IniFile_writeShared(std::string_view path, std::string_view lockName,
                         const std::function<void(IniFileWriter&)>& body) {
  std::string p(path);
  std::optional<NamedLock> lock;
  std::optional<NamedLockGuard> guard;
  if (!lockName.empty()) {
    lock.emplace(std::string(lockName));
    guard.emplace(*lock, IniFile_lockWaitMs);
    if (!guard->owns()) {
      // As the shared-file rule says, the write goes on without the lock.
      Errors_printf("IniFile: %s not held after %d ms, writing %s anyway", lock->name().c_str(),
                    IniFile_lockWaitMs, p.c_str());
    }
  }
  std::string temp = p + "_";
  std::optional<std::string> osPath = FileX_osPath(p);
  std::optional<std::string> osTemp = FileX_osPath(temp);
  TempRemover remover(osTemp ? *osTemp : std::string());
  IniFileWriter w;
  w.open(temp);
  body(w);
  w.close();
  // The replacement keeps the mode of the file it replaces (a settings file
  // made private stays private).
  struct stat old;
  if (osPath && osTemp && ::stat(osPath->c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
      ::chmod(osTemp->c_str(), old.st_mode & 07777) != 0)
    Errors_RAISE(FileX_Err_CannotWrite, "%s の書きこみに失敗しました。", p.c_str());
  if (!osPath || !osTemp || std::rename(osTemp->c_str(), osPath->c_str()) != 0)
    Errors_RAISE(FileX_Err_CannotWrite, "%s の書きこみに失敗しました。", p.c_str());
}
