// Replacing a file as one step: the new content goes to a temporary file
// beside the target (created with O_EXCL), is flushed to disk and renamed
// over the target.  A failed write leaves the old file as it was.
#pragma once

#include <memory>
#include <string_view>

// A replacement being written: the temporary file is created by the
// constructor (362 as FileX_replaceAtomically), receives the blocks, and
// commit() renames it over the target; without commit() (a raise on the
// way) the temporary file is deleted and the target is untouched.
class FileX_AtomicFile {
 public:
  explicit FileX_AtomicFile(std::string_view target);
  ~FileX_AtomicFile();
  FileX_AtomicFile(const FileX_AtomicFile&) = delete;
  FileX_AtomicFile& operator=(const FileX_AtomicFile&) = delete;
  // 365 (write-failed flag set) when the block cannot be written.
  void write(std::string_view bytes);
  // Flushes to disk, keeps the mode of an old target, renames (365).
  void commit();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Replaces (or creates) `target` with `bytes`; an existing target keeps its
// mode, and a symbolic link is followed so that the file it names is
// replaced.  Raises 362 (missing folder, read-only file or folder) before
// anything is written, and 365 when writing fails (the target untouched).
void FileX_replaceAtomically(std::string_view target, std::string_view bytes);

// Copies file `src` over `dst` the same way.  With `takeSrcAttributes` the
// result gets the mode and modification time of `src`; else an existing
// `dst` keeps its mode.  A read-only `dst` is replaced only with
// `overrideReadOnly`.  Raises 363 when `src` cannot be opened.
void FileX_copyOverAtomically(std::string_view dst, std::string_view src,
                              bool takeSrcAttributes, bool overrideReadOnly = false);
