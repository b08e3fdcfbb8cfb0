// Folder walkers over opendir/readdir and lstat.  Both walkers share one
// engine; NestFind runs it with the fixed limits of its name and level
// tables, NestFindGrow without them.
#include "core/nestfind/nestfind.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"

namespace {

constexpr size_t kNameTableMax = 3000;  // names held at once by NestFind
constexpr size_t kLevelMax = 50;        // levels 0-49
constexpr size_t kPathMax = 259;        // a 260-byte path buffer

struct Entry {
  std::string name;    // CP932
  std::string osName;  // as the file system holds it
  std::string key;     // sort key: name with ASCII letters folded
  bool isFolder = false;
  bool isLink = false;
  int64_t size = 0;
};

struct Level {
  size_t first = 0;   // entries [first, end) belong to this level
  size_t end = 0;
  size_t cur = 0;     // the next entry to look at
  std::string rel;    // relative path of the folder, "" or ending with '/'
  std::string osRel;  // the same as the file system spells it
};

// ASCII letters folded to upper case (the order NTFS lists names in); a
// double-byte character is copied as it is, so its trail byte never folds.
std::string foldKey(std::string_view name) {
  std::string key(name);
  for (size_t i = 0; i < key.size();) {
    size_t n = Cp932_charLen(key, i);
    if (n == 1 && key[i] >= 'a' && key[i] <= 'z') key[i] = static_cast<char>(key[i] - 'a' + 'A');
    i += n;
  }
  return key;
}

// std::string compares bytes as unsigned char.
bool entryLess(const Entry& a, const Entry& b) {
  if (a.key != b.key) return a.key < b.key;
  return a.name < b.name;
}

std::string withoutSlash(const std::string& s) {
  return (!s.empty() && s.back() == '/') ? s.substr(0, s.size() - 1) : s;
}

// How one directory entry takes part in the walk; nullopt when it does not.
std::optional<Entry> classify(const std::string& osFull, bool withFolders) {
  struct stat st {};
  if (lstat(osFull.c_str(), &st) != 0) return std::nullopt;  // gone meanwhile
  Entry e;
  if (S_ISDIR(st.st_mode)) {
    e.isFolder = true;
    return e;
  }
  e.isLink = S_ISLNK(st.st_mode);
  e.size = st.st_size;
  if (withFolders) return e;  // everything else is deleted as a file
  if (e.isLink) {
    struct stat target {};
    if (stat(osFull.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) return std::nullopt;
    e.size = target.st_size;
    return e;
  }
  if (!S_ISREG(st.st_mode)) return std::nullopt;
  return e;
}

class Walker {
 public:
  explicit Walker(bool limited) : limited_(limited) {}

  void open(std::string_view root, bool withFolders);
  bool next();
  void close();
  std::string path() const;
  std::string relativePath() const;
  bool isFolder() const { return hasCurrent_ && curFolder_; }
  bool isLink() const { return hasCurrent_ && curLink_; }
  int64_t size() const { return hasCurrent_ ? curSize_ : 0; }

 private:
  bool step();
  std::vector<Entry> list(const std::string& osRel, const std::string& rel) const;
  void pushLevel(const std::string& rel, const std::string& osRel);
  void produce(std::string rel, bool folder, bool link, int64_t size);
  void checkPath(const std::string& p) const;

  bool limited_;
  bool withFolders_ = false;
  bool broken_ = false;    // a limit was hit: the walk cannot go on
  std::string root_;       // CP932, "" or ending with '/'
  std::string osRoot_;     // the root as the file system spells it
  std::vector<Entry> entries_;
  std::vector<Level> levels_;
  bool hasCurrent_ = false;
  std::string curRel_;
  bool curFolder_ = false;
  bool curLink_ = false;
  int64_t curSize_ = 0;
};

void Walker::close() {
  entries_.clear();
  levels_.clear();
  hasCurrent_ = false;
  broken_ = false;
}

void Walker::open(std::string_view root, bool withFolders) {
  close();
  withFolders_ = withFolders;
  std::string r(root);
  while (r.size() > 1 && r.back() == '/') r.pop_back();
  root_ = r.empty() ? r : (r == "/" ? r : r + "/");
  std::optional<std::string> os = Cp932_toOsPath(root_);
  if (!os) return;  // no such name on disk: nothing to walk
  osRoot_ = *os;
  broken_ = true;  // stays set when the listing raises
  pushLevel("", "");
  broken_ = false;
}

// Lists one folder, sorted.  A folder that cannot be read counts as empty.
std::vector<Entry> Walker::list(const std::string& osRel, const std::string& rel) const {
  std::vector<Entry> out;
  std::string osFolder = osRoot_.empty() ? "./" + osRel : osRoot_ + osRel;
  DIR* dir = opendir(osFolder.c_str());
  if (!dir) {
    if (!rel.empty()) {
      int err = errno;
      Errors_printf("NestFind: cannot list (%s) %s", withoutSlash(root_ + rel).c_str(),
                    Errors_errnoText(err).c_str());
    }
    return out;
  }
  while (const dirent* d = readdir(dir)) {
    std::string_view name = d->d_name;
    if (name == "." || name == "..") continue;
    std::optional<std::string> cp = Cp932_fromOsPath(name);
    if (!cp) {
      Errors_printf("NestFind: skipped a name code page 932 cannot hold (%s%s)",
                    (root_ + rel).c_str(), Cp932_fromUtf8(name).c_str());
      continue;
    }
    std::optional<Entry> e = classify(osFolder + std::string(name), withFolders_);
    if (!e) continue;
    e->name = std::move(*cp);
    e->osName = std::string(name);
    e->key = foldKey(e->name);
    out.push_back(std::move(*e));
  }
  closedir(dir);
  std::sort(out.begin(), out.end(), entryLess);
  return out;
}

// Starts a level for the folder `rel` (relative, "" or ending with '/').
void Walker::pushLevel(const std::string& rel, const std::string& osRel) {
  std::string folder = withoutSlash(root_ + rel);
  if (limited_ && levels_.size() >= kLevelMax)
    Errors_RAISE(NestFind_Err_OverNest, "NestFind: over Nest (%s)\n", folder.c_str());
  std::vector<Entry> names = list(osRel, rel);
  if (limited_ && entries_.size() + names.size() > kNameTableMax)
    Errors_RAISE(NestFind_Err_OverBuf, "NestFind: over Buf (%s)\n", folder.c_str());
  Level lv;
  lv.first = entries_.size();
  lv.cur = lv.first;
  lv.end = lv.first + names.size();
  lv.rel = rel;
  lv.osRel = osRel;
  entries_.insert(entries_.end(), std::make_move_iterator(names.begin()),
                  std::make_move_iterator(names.end()));
  levels_.push_back(std::move(lv));
}

void Walker::produce(std::string rel, bool folder, bool link, int64_t size) {
  hasCurrent_ = true;
  curRel_ = std::move(rel);
  curFolder_ = folder;
  curLink_ = link;
  curSize_ = size;
}

bool Walker::next() {
  hasCurrent_ = false;
  if (broken_) return false;
  broken_ = true;  // stays set when a limit raises
  bool more = step();
  broken_ = false;
  return more;
}

// Depth first: a file is produced, a folder is entered; an exhausted level
// is dropped (its names freed) and, with folders, its folder produced.
bool Walker::step() {
  while (!levels_.empty()) {
    Level& lv = levels_.back();
    if (lv.cur < lv.end) {
      const Entry& e = entries_[lv.cur++];
      if (!e.isFolder) {
        produce(lv.rel + e.name, false, e.isLink, e.size);
        return true;
      }
      std::string rel = lv.rel + e.name + "/";
      std::string osRel = lv.osRel + e.osName + "/";
      pushLevel(rel, osRel);  // may reallocate: `lv` and `e` are not used again
      continue;
    }
    std::string rel = lv.rel;
    entries_.resize(lv.first);
    levels_.pop_back();
    if (withFolders_ && !levels_.empty()) {
      produce(withoutSlash(rel), true, false, 0);
      return true;
    }
  }
  return false;
}

void Walker::checkPath(const std::string& p) const {
  if (limited_ && p.size() > kPathMax)
    Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", static_cast<const void*>(this));
}

std::string Walker::path() const {
  if (!hasCurrent_) return {};
  std::string p = root_ + curRel_;
  checkPath(p);
  return p;
}

std::string Walker::relativePath() const {
  if (!hasCurrent_) return {};
  checkPath(curRel_);
  return curRel_;
}

}  // namespace

struct NestFind::Impl {
  Walker walker{true};
};

NestFind::NestFind() : impl_(std::make_unique<Impl>()) {}
NestFind::~NestFind() = default;
void NestFind::open(std::string_view root, bool withFolders) { impl_->walker.open(root, withFolders); }
bool NestFind::next() { return impl_->walker.next(); }
std::string NestFind::path() const { return impl_->walker.path(); }
std::string NestFind::relativePath() const { return impl_->walker.relativePath(); }
bool NestFind::isFolder() const { return impl_->walker.isFolder(); }
bool NestFind::isLink() const { return impl_->walker.isLink(); }
int64_t NestFind::size() const { return impl_->walker.size(); }

struct NestFindGrow::Impl {
  Walker walker{false};
};

NestFindGrow::NestFindGrow() : impl_(std::make_unique<Impl>()) {}
NestFindGrow::~NestFindGrow() = default;
void NestFindGrow::open(std::string_view root, bool withFolders) {
  impl_->walker.open(root, withFolders);
}
bool NestFindGrow::next() { return impl_->walker.next(); }
std::string NestFindGrow::path() const { return impl_->walker.path(); }
std::string NestFindGrow::relativePath() const { return impl_->walker.relativePath(); }
bool NestFindGrow::isFolder() const { return impl_->walker.isFolder(); }
bool NestFindGrow::isLink() const { return impl_->walker.isLink(); }
int64_t NestFindGrow::size() const { return impl_->walker.size(); }
void NestFindGrow::close() { impl_->walker.close(); }
