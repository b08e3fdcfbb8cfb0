// The process-wide write-failed flag and the write function of this
// thread (which tests replace to simulate a full disk).
#pragma once

#include <sys/types.h>

#include <cstddef>

// Set by every copy or write of this module that failed to write a block;
// it stays set until cleared.  Any thread may read and set it.
bool FileX_writeFailed();
void FileX_setWriteFailed(bool failed);

// The function the module writes file blocks with (write(2) by default).
using FileX_WriteFn = ssize_t (*)(int fd, const void* data, size_t n);
FileX_WriteFn FileX_writeFunction();
// Replaces it on the calling thread; nullptr restores write(2).
void FileX_setWriteFunction(FileX_WriteFn fn);

// Installs a write function for the lifetime of the object (tests).
class FileX_WriteFunctionScope {
 public:
  explicit FileX_WriteFunctionScope(FileX_WriteFn fn) : saved_(FileX_writeFunction()) {
    FileX_setWriteFunction(fn);
  }
  ~FileX_WriteFunctionScope() { FileX_setWriteFunction(saved_); }
  FileX_WriteFunctionScope(const FileX_WriteFunctionScope&) = delete;
  FileX_WriteFunctionScope& operator=(const FileX_WriteFunctionScope&) = delete;

 private:
  FileX_WriteFn saved_;
};
