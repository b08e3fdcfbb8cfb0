#include "core/filex/filex_backup.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "core/errors/errors.h"
#include "core/filex/filex_atomic.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_internal.h"
#include "core/filex/filex_ospath.h"
#include "core/strx/codepage.h"

using namespace filex_detail;

namespace {

// Split at the last '/' (names may hold '#': no fragment rules here).
size_t nameStart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += Cp932_charLen(path, i))
    if (path[i] == '/' || path[i] == '\\') start = i + 1;
  return start;
}

void stampNow(std::string_view path) {
  std::optional<std::string> os = FileX_osPath(path);
  if (os) ::utimensat(AT_FDCWD, os->c_str(), nullptr, 0);
}

}  // namespace

int64_t FileX_startOfToday() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  local.tm_hour = local.tm_min = local.tm_sec = 0;
  local.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&local)) * 1000000000;
}

std::string FileX_backupFolder(std::string_view path) {
  std::string base(path.substr(0, nameStart(path)));
  std::string folder = base + "backup";
  for (int n = 1;; ++n) {
    std::optional<struct stat> st = statPath(folder);
    if (!st || S_ISDIR(st->st_mode)) return folder;
    folder = base + "backup" + std::to_string(n);
  }
}

std::string FileX_dailyCopyName(std::string_view fileName) {
  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < fileName.size(); i += Cp932_charLen(fileName, i))
    if (fileName[i] == '.') dot = i;
  if (dot == std::string_view::npos || dot == 0) return std::string(fileName) + "#1";
  return std::string(fileName.substr(0, dot)) + "#1" + std::string(fileName.substr(dot));
}

void FileX_makeBackupCopy(std::string_view path, std::optional<int64_t> startOfToday) {
  if (!statPath(path)) return;
  std::string folder = FileX_backupFolder(path);
  if (!FileX_makeFolders(folder, false))
    Errors_RAISE(FileX_Err_CannotMkdir, "フォルダ %s が作成できませんでした", folder.c_str());
  std::string_view name = path.substr(nameStart(path));
  std::string backup = folder + "/" + std::string(name);
  FileX_copyByContent(backup, path);
  FileX_setReadOnly(backup, false);
  std::string daily = folder + "/" + FileX_dailyCopyName(name);
  int64_t today = startOfToday ? *startOfToday : FileX_startOfToday();
  std::optional<struct stat> st = statPath(daily);
  if (st && toNs(st->st_mtim) >= today) return;
  FileX_copyByContent(daily, backup);
  stampNow(daily);
}

void FileX_writeWithBackup(std::string_view path, std::string_view data,
                           std::optional<int64_t> startOfToday) {
  FileX_makeBackupCopy(path, startOfToday);
  FileX_makeFolders(path, true);
  FileX_replaceAtomically(path, data);
}
