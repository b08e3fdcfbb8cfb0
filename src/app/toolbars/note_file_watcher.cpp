#include "app/toolbars/note_file_watcher.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "core/errors/errors.h"
#include "core/strx/strx_path.h"

namespace {

int64_t writeTime(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace

bool NoteFileWatcher_isCompleteTail(const char* tail, size_t size) {
  if (size < 16) return false;
  static constexpr char kAscii[] = "</svg>\r\n";
  static constexpr char kWide[] = {'<', 0, '/', 0, 's', 0, 'v', 0, 'g', 0, '>', 0, '\r', 0, '\n', 0};
  const char* last = tail + size - 16;
  return std::memcmp(last + 8, kAscii, 8) == 0 || std::memcmp(last, kWide, 16) == 0;
}

bool NoteFileWatcher_fileIsComplete(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buf[16];
  bool complete = false;
  const off_t size = ::lseek(fd, 0, SEEK_END);
  if (size >= 16 && ::pread(fd, buf, 16, size - 16) == 16) {
    complete = NoteFileWatcher_isCompleteTail(buf, 16);
  }
  ::close(fd);
  return complete;
}

bool NoteFileWatcher::Start(const std::string& path, std::function<void()> rewritten,
                            NoteFileWatcherTimes times) {
  Stop();
  inotify_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (inotify_ < 0) return false;
  const std::string folder = StrX_parentFolder(path);
  if (::inotify_add_watch(inotify_, folder.empty() ? "." : folder.c_str(),
                          IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_ATTRIB |
                              IN_MODIFY) < 0 ||
      ::pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    Stop();
    return false;
  }
  stop_ = false;
  thread_ = std::thread(&NoteFileWatcher::run, this, path, std::move(rewritten), times);
  return true;
}

void NoteFileWatcher::Stop() {
  stop_ = true;
  if (stopPipe_[1] >= 0) {
    const char c = 0;
    [[maybe_unused]] const ssize_t n = ::write(stopPipe_[1], &c, 1);
  }
  if (thread_.joinable()) thread_.join();
  for (int* fd : {&inotify_, &stopPipe_[0], &stopPipe_[1]}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

bool NoteFileWatcher::pause(int ms) {
  pollfd p{stopPipe_[0], POLLIN, 0};
  ::poll(&p, 1, ms);
  return !stop_;
}

void NoteFileWatcher::run(std::string path, std::function<void()> rewritten,
                          NoteFileWatcherTimes times) {
  try {
    int64_t reference = writeTime(path);
    char events[4096];
    while (!stop_) {
      pollfd p[2] = {{inotify_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
      // Every two seconds a look without an event, for folders whose
      // changes the kernel does not report (network file systems).
      if (::poll(p, 2, 2000) < 0 && errno != EINTR) break;
      if (stop_) break;
      while (::read(inotify_, events, sizeof events) > 0) {
      }
      if (!pause(times.settleMs)) break;
      const int64_t now = writeTime(path);
      if (now < 0) break;  // the note is gone: the watcher ends
      if (now == reference) continue;
      for (int i = 0; i < times.tries; ++i) {
        if (NoteFileWatcher_fileIsComplete(path)) {
          // The time seen is the reference from now on: one reload per
          // rewrite, not one per later change of the folder.
          reference = writeTime(path);
          rewritten();
          break;
        }
        if (!pause(times.retryMs)) return;
      }
    }
  } catch (...) {
    Errors_printf("the note watcher ended on an error: %s", path.c_str());
  }
}
