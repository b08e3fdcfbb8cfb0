#include "app/saving/backup_files.h"

#include <algorithm>
#include <set>
#include <vector>

#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/filex/filex_backup.h"
#include "core/filex/filex_delete.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_names.h"
#include "core/nestfind/nestfind.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"

namespace {

int64_t timeOrOld(const std::string& path) {
  int64_t t = 0;
  Except_tryCatch([&] { t = FileX_fileTime(path); }, [&](const Errors_Msg&) { t = 0; });
  return t;
}

bool isBackupName(std::string_view name) {
  return name.size() > 11 && name.substr(0, 7) == "backup-" && name.substr(name.size() - 4) == ".svg";
}

// The plain files directly in a folder (not below it).
std::vector<std::string> filesIn(std::string_view folder) {
  std::vector<std::string> out;
  Except_tryCatch(
      [&] {
        NestFindGrow walk;
        walk.open(folder, false);
        while (walk.next()) {
          if (walk.isFolder() || walk.isLink()) continue;
          if (walk.relativePath().find('/') != std::string::npos) continue;
          out.push_back(walk.path());
        }
      },
      [](const Errors_Msg&) {});
  return out;
}

bool remove(const std::string& path) {
  bool done = false;
  Except_tryCatch([&] { done = FileX_deleteFile(path); }, [](const Errors_Msg&) {});
  return done;
}

}  // namespace

std::string BackupFiles_nameFor(std::string_view backupFolder, std::string_view notePath) {
  std::string folder(backupFolder);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return FileX_uniqueNoteName(folder, "backup-" + (notePath.empty() ? std::string() : StrX_fileName(notePath)) + "-");
}

std::optional<uint32_t> BackupFiles_workFileOwner(std::string_view name) {
  if (name.size() < 12) return std::nullopt;
  size_t at = 4;
  if (name[at] == '_') ++at;
  if (name.size() < at + 8) return std::nullopt;
  uint32_t id = 0;
  for (size_t i = at; i < at + 8; ++i) {
    const int d = StrX_hexDigit(name[i]);
    if (d < 0) return std::nullopt;
    id = id * 16 + static_cast<uint32_t>(d);
  }
  if (name.size() > at + 8 && name[at + 8] != '_' && name[at + 8] != '.') return std::nullopt;
  return id;
}

BackupCleanCount BackupFiles_clean(std::string_view backupFolder, std::string_view workFolder,
                                   int64_t now, const std::function<bool(uint32_t id)>& alive) {
  BackupCleanCount count;
  const int64_t limit = now - BackupFiles_maxAge;
  if (!backupFolder.empty()) {
    for (const std::string& folder :
         {std::string(backupFolder), StrX_joinPath(backupFolder, "backup")}) {
      for (const std::string& file : filesIn(folder)) {
        if (isBackupName(StrX_fileName(file)) && timeOrOld(file) < limit && remove(file))
          ++count.backups;
      }
    }
  }
  if (!workFolder.empty()) {
    const std::vector<std::string> files = filesIn(workFolder);
    // A window still at work touched one of its files lately.
    std::set<uint32_t> busy;
    for (const std::string& file : files) {
      const std::optional<uint32_t> owner = BackupFiles_workFileOwner(StrX_fileName(file));
      if (owner && timeOrOld(file) >= limit) busy.insert(*owner);
    }
    for (const std::string& file : files) {
      const std::optional<uint32_t> owner = BackupFiles_workFileOwner(StrX_fileName(file));
      if (!owner || busy.count(*owner) != 0 || (alive && alive(*owner))) continue;
      if (timeOrOld(file) < limit && remove(file)) ++count.workFiles;
    }
  }
  return count;
}

std::vector<BackupEntry> BackupFiles_history(std::string_view notePath, std::string_view backupFolder) {
  std::vector<BackupEntry> out;
  auto take = [&](const std::string& path) {
    if (!FileX_isFile(path)) return;
    for (const BackupEntry& e : out)
      if (e.path == path) return;
    out.push_back({path, timeOrOld(path)});
  };
  const std::string name = notePath.empty() ? std::string() : StrX_fileName(notePath);
  const std::string prefix = "backup-" + name + "-";
  if (!backupFolder.empty()) {
    for (const std::string& folder : {std::string(backupFolder), StrX_joinPath(backupFolder, "backup")}) {
      for (const std::string& file : filesIn(folder)) {
        const std::string f = StrX_fileName(file);
        if (f.size() > prefix.size() + 4 && f.compare(0, prefix.size(), prefix) == 0 &&
            f.substr(f.size() - 4) == ".svg")
          take(file);
      }
    }
  }
  if (!notePath.empty()) {
    const std::string folder = FileX_backupFolder(notePath);
    take(StrX_joinPath(folder, name));
    take(StrX_joinPath(folder, FileX_dailyCopyName(name)));
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const BackupEntry& a, const BackupEntry& b) { return a.time > b.time; });
  return out;
}
