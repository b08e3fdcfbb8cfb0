#include "app/saving/recent_files.h"

#include "core/filex/filex_info.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/inifile/inifile.h"
#include "core/lock/named_lock.h"
#include "core/strx/strx_path.h"

namespace {

std::string filePath(std::string_view profileFolder) {
  return StrX_joinPath(profileFolder, RecentFiles_fileName);
}

// Every entry of the file, as it stands.  A line that cannot be read (cut
// off, over-long, not a "path" entry) is passed over: the entries around
// it stay, and the next write of the list keeps them.
std::vector<RecentFile> readAll(const std::string& path) {
  std::vector<RecentFile> list;
  if (!FileX_isFile(path)) return list;
  Except_tryCatch(
      [&] {
        IniFileReader reader;
        reader.open(path);
        reader.findSection("RecentFiles", false);
        for (bool more = true; more;) {
          const int64_t at = reader.tell();
          Except_tryCatch(
              [&] {
                std::string name;
                RecentFile entry;
                more = reader.readNextAttribute(name, "ss", &entry.path, &entry.title) >= 0;
                if (more && name == "path" && !entry.path.empty()) list.push_back(std::move(entry));
              },
              [&](const Errors_Msg&) { more = reader.tell() > at; });
        }
      },
      [&](const Errors_Msg&) {});
  return list;
}

bool keep(const RecentFile& e) {
  return RecentFiles_isServerPath(e.path) || FileX_isFile(e.path);
}

void write(const std::string& path, const std::vector<RecentFile>& list) {
  IniFile_writeShared(path, "", [&](IniFileWriter& w) {
    w.section("RecentFiles");
    for (const RecentFile& e : list) w.attribute("path", "ss", e.path, e.title);
  });
}

// Reads the list under the lock, lets `change` edit it, cleans and writes it.
template <class F>
void update(std::string_view profileFolder, F change) {
  const std::string path = filePath(profileFolder);
  NamedLock lock(RecentFiles_lockName);
  NamedLockGuard guard(lock, IniFile_lockWaitMs);
  std::vector<RecentFile> list = readAll(path);
  RecentFiles_clean(list);
  change(list);
  RecentFiles_clean(list);
  if (list.size() > RecentFiles_max) list.resize(RecentFiles_max);
  write(path, list);
}

// Cuts `text` to at most `size` bytes, never inside a double-byte
// character.
std::string cut(std::string_view text, size_t size) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t n = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
    if (i + n > size) break;
    i += n;
  }
  return std::string(text.substr(0, i));
}

std::string doubleAmpersands(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      out.append(text.substr(i, 2));
      ++i;
      continue;
    }
    out.push_back(text[i]);
    if (text[i] == '&') out.push_back('&');
  }
  return out;
}

}  // namespace

bool RecentFiles_isServerPath(std::string_view path) {
  return path.size() >= 2 && (path[0] == '/' || path[0] == '\\') &&
         (path[1] == '/' || path[1] == '\\');
}

std::vector<RecentFile> RecentFiles_read(std::string_view profileFolder) {
  std::vector<RecentFile> list;
  for (RecentFile& e : readAll(filePath(profileFolder))) {
    if (RecentFiles_isServerPath(e.path) || !FileX_isFile(e.path)) continue;
    if (list.size() < RecentFiles_max) list.push_back(std::move(e));
  }
  return list;
}

void RecentFiles_clean(std::vector<RecentFile>& list) {
  std::erase_if(list, [](const RecentFile& e) { return !keep(e); });
}

void RecentFiles_add(std::string_view profileFolder, std::string_view path,
                     std::string_view title, bool keepKnownTitle) {
  if (path.empty() || !FileX_isFile(path)) return;
  update(profileFolder, [&](std::vector<RecentFile>& list) {
    RecentFile entry{std::string(path), std::string(title)};
    for (auto it = list.begin(); it != list.end(); ++it) {
      if (FileX_sameFile(it->path, path)) {
        if (title.empty() || keepKnownTitle) entry.title = it->title;
        list.erase(it);
        break;
      }
    }
    list.insert(list.begin(), std::move(entry));
  });
}

void RecentFiles_remove(std::string_view profileFolder, std::string_view path) {
  update(profileFolder, [&](std::vector<RecentFile>& list) {
    std::erase_if(list, [&](const RecentFile& e) { return FileX_sameFile(e.path, path); });
  });
}

std::string RecentFiles_label(int n, const RecentFile& entry) {
  constexpr size_t kMax = 70;
  const std::string number = "(&" + std::to_string(n) + ") ";
  std::string title = entry.title;
  std::string name = StrX_fileName(entry.path);
  bool nameCut = false;
  auto length = [&] {
    return number.size() + (title.empty() ? 0 : title.size() + 3) + name.size() +
           (nameCut ? 3 : 0);
  };
  while (length() > kMax) {
    if (title.size() > name.size()) {
      title = cut(title, title.size() - 1);
    } else if (!name.empty()) {
      nameCut = true;
      name = cut(name, name.size() - 1);
    } else {
      break;
    }
  }
  std::string label = number;
  if (!title.empty()) label += doubleAmpersands(title) + " - ";
  label += doubleAmpersands(name);
  if (nameCut) label += "...";
  return label;
}
