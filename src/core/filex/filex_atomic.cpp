#include "core/filex/filex_atomic.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/errors/errors.h"
#include "core/filex/filex_internal.h"
#include "core/filex/filex_open.h"
#include "core/filex/filex_ospath.h"

using namespace filex_detail;

namespace {

// Removes the temporary file unless it was renamed into place.
class TempGuard {
 public:
  explicit TempGuard(std::string path) : path_(std::move(path)) {}
  ~TempGuard() {
    if (!path_.empty()) ::unlink(path_.c_str());  // "" = unnamed: nothing to remove
  }
  TempGuard(const TempGuard&) = delete;
  TempGuard& operator=(const TempGuard&) = delete;
  const std::string& path() const { return path_; }
  void keep() { path_.clear(); }
  void reset(std::string path) { path_ = std::move(path); }

 private:
  std::string path_;
};

std::string siblingName(const std::string& osTarget) {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 rng{std::random_device{}()};
  std::string name = osTarget + ".~";
  for (int i = 0; i < 6; ++i) name.push_back(kChars[rng() % (sizeof kChars - 1)]);
  return name;
}

// The OS path to write: the file a symbolic link names, else the path.
std::string resolveTarget(const std::string& os) {
  struct stat st;
  if (::lstat(os.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(os.c_str(), nullptr)) {
      std::string r(real);
      std::free(real);
      return r;
    }
  }
  return os;
}

// A new file "<target>.~XXXXXX" created with O_EXCL (mode 0666 less the
// umask, like any new file).
Fd createNamedSibling(const std::string& osTarget, std::string& tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = siblingName(osTarget);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      tempPath = name;
      return Fd(fd);
    }
    if (errno != EEXIST) return Fd();
  }
  errno = EEXIST;
  return Fd();
}

// The temporary file of a replacement.  Where the file system allows it the
// file has no name until it is complete (O_TMPFILE in the target's folder),
// so a process killed while writing leaves nothing behind; else it is a
// named sibling that the guard removes.
Fd createSibling(const std::string& osTarget, std::string& tempPath) {
  tempPath.clear();
  std::string folder = osTarget;
  size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : folder.substr(0, slash));
  int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd >= 0) return Fd(fd);
  if (errno == ENOENT || errno == ENOTDIR || errno == EACCES || errno == EROFS) return Fd();
  return createNamedSibling(osTarget, tempPath);
}

// Gives an unnamed temporary file a sibling name just before the rename.
bool nameAnonymous(const Fd& fd, const std::string& osTarget, std::string& tempPath) {
  const std::string procPath = "/proc/self/fd/" + std::to_string(fd.get());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = siblingName(osTarget);
    if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      tempPath = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

struct Target {
  std::string os;                      // resolved OS path
  std::optional<struct stat> existing;  // the target before the replace
};

// The checks made before anything is written (362).
Target checkTarget(std::string_view target, bool overrideReadOnly) {
  std::optional<std::string> os = FileX_osPath(target);
  if (!os) FileX_raiseOpenError(target, true, ENOENT);
  Target t{resolveTarget(*os), std::nullopt};
  struct stat st;
  if (::stat(t.os.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) FileX_raiseOpenError(target, true, EISDIR);
    if (!overrideReadOnly && isReadOnlyMode(st.st_mode)) FileX_raiseOpenError(target, true, EACCES);
    t.existing = st;
  }
  return t;
}

// Flushes, gives the mode (and time), names an unnamed temporary file,
// closes and renames into place.
void finish(Fd& fd, TempGuard& temp, const Target& t, std::string_view target,
            const struct stat* attrs, bool withTime) {
  bool ok = ::fsync(fd.get()) == 0;
  if (attrs) ok = ::fchmod(fd.get(), attrs->st_mode & 07777) == 0 && ok;
  if (attrs && withTime) {
    struct timespec times[2] = {attrs->st_atim, attrs->st_mtim};
    ok = ::futimens(fd.get(), times) == 0 && ok;
  }
  if (ok && temp.path().empty()) {
    std::string named;
    ok = nameAnonymous(fd, t.os, named);
    if (ok) temp.reset(std::move(named));
  }
  ok = fd.close() && ok;
  if (!ok || ::rename(temp.path().c_str(), t.os.c_str()) != 0) raiseWriteFailed(target);
  temp.keep();
}

}  // namespace

struct FileX_AtomicFile::Impl {
  std::string target;
  Target t;
  Fd fd;
  TempGuard temp;
  // Bytes written, and how many of them have been handed to the disk.
  off_t written = 0;
  off_t flushed = 0;
  Impl(std::string_view name, Target tt, Fd f, std::string tempPath)
      : target(name), t(std::move(tt)), fd(std::move(f)), temp(std::move(tempPath)) {}
};

FileX_AtomicFile::FileX_AtomicFile(std::string_view target) {
  Target t = checkTarget(target, false);
  std::string tempPath;
  Fd fd = createSibling(t.os, tempPath);
  if (!fd) FileX_raiseOpenError(target, true, errno);
  impl_ = std::make_unique<Impl>(target, std::move(t), std::move(fd), std::move(tempPath));
}

FileX_AtomicFile::~FileX_AtomicFile() = default;

void FileX_AtomicFile::write(std::string_view bytes) {
  if (!impl_->fd || !writeAll(impl_->fd.get(), bytes.data(), bytes.size()))
    raiseWriteFailed(impl_->target);
  impl_->written += static_cast<off_t>(bytes.size());
  // Large files start going to the disk while the rest is still being
  // made, so that the flush of commit() has less to wait for.
  constexpr off_t kFlushStep = 1 << 20;
  if (impl_->written - impl_->flushed >= kFlushStep) {
    ::sync_file_range(impl_->fd.get(), impl_->flushed, impl_->written - impl_->flushed,
                      SYNC_FILE_RANGE_WRITE);
    impl_->flushed = impl_->written;
  }
}

void FileX_AtomicFile::commit() {
  if (!impl_->fd) raiseWriteFailed(impl_->target);
  const Target& t = impl_->t;
  finish(impl_->fd, impl_->temp, t, impl_->target, t.existing ? &*t.existing : nullptr, false);
}

void FileX_replaceAtomically(std::string_view target, std::string_view bytes) {
  FileX_AtomicFile f(target);
  f.write(bytes);
  f.commit();
}

void FileX_copyOverAtomically(std::string_view dst, std::string_view src, bool takeSrcAttributes,
                              bool overrideReadOnly) {
  std::optional<std::string> osSrc = FileX_osPath(src);
  Fd in(osSrc ? ::open(osSrc->c_str(), O_RDONLY | O_CLOEXEC) : -1);
  if (!in) FileX_raiseOpenError(src, false, osSrc ? errno : ENOENT);
  struct stat srcStat;
  if (::fstat(in.get(), &srcStat) != 0 || S_ISDIR(srcStat.st_mode))
    FileX_raiseOpenError(src, false, EISDIR);
  Target t = checkTarget(dst, overrideReadOnly);
  std::string tempPath;
  Fd fd = createSibling(t.os, tempPath);
  if (!fd) FileX_raiseOpenError(dst, true, errno);
  TempGuard temp(tempPath);
  std::vector<char> buf(64 * 1024);  // per call: copies may run on any thread
  for (;;) {
    ssize_t n = ::read(in.get(), buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) raiseWriteFailed(dst);
    if (n == 0) break;
    if (!writeAll(fd.get(), buf.data(), static_cast<size_t>(n))) raiseWriteFailed(dst);
  }
  const struct stat* attrs = takeSrcAttributes ? &srcStat : (t.existing ? &*t.existing : nullptr);
  finish(fd, temp, t, dst, attrs, takeSrcAttributes);
}
