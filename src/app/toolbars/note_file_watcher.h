// The viewer mode's watcher: a worker thread that waits for changes in the
// note's folder and reports the note once it has been rewritten completely
// (its last bytes close the document), so that the window reloads it.  The
// thread has its own copy of the path and stops promptly when told.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

// Whether the last 16 bytes of a note end its document: bytes 8 to 15 are
// "</svg>" CR LF, or all 16 are "</svg>" CR LF in UTF-16LE.  A shorter
// file is not complete.
bool NoteFileWatcher_isCompleteTail(const char* tail, size_t size);
// The same for the file at `path` (false when it cannot be read).
bool NoteFileWatcher_fileIsComplete(const std::string& path);

struct NoteFileWatcherTimes {
  int settleMs = 1000;  // after a change, before looking at the file
  int retryMs = 2000;   // between looks at an incomplete file
  int tries = 5;
};

class NoteFileWatcher {
 public:
  NoteFileWatcher() = default;
  NoteFileWatcher(const NoteFileWatcher&) = delete;
  NoteFileWatcher& operator=(const NoteFileWatcher&) = delete;
  ~NoteFileWatcher() { Stop(); }

  // Starts watching `path`; `rewritten` runs on the worker thread each time
  // the file was rewritten completely (the caller posts it to its own
  // thread).  A watcher already running is stopped first.  False when the
  // folder cannot be watched.
  bool Start(const std::string& path, std::function<void()> rewritten,
             NoteFileWatcherTimes times = {});
  // Ends the thread and waits for it.
  void Stop();
  bool running() const { return thread_.joinable(); }

 private:
  void run(std::string path, std::function<void()> rewritten, NoteFileWatcherTimes times);
  // Sleeps up to `ms`, false when told to stop meanwhile.
  bool pause(int ms);
  std::thread thread_;
  std::atomic<bool> stop_{false};
  int inotify_ = -1;
  int stopPipe_[2] = {-1, -1};
};
