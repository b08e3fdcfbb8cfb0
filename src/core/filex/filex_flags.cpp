#include "core/filex/filex_flags.h"

#include <unistd.h>

#include <atomic>

namespace {
std::atomic<bool> g_writeFailed{false};
thread_local FileX_WriteFn t_writeFn = nullptr;
}  // namespace

bool FileX_writeFailed() { return g_writeFailed.load(); }
void FileX_setWriteFailed(bool failed) { g_writeFailed.store(failed); }

FileX_WriteFn FileX_writeFunction() { return t_writeFn ? t_writeFn : &::write; }
void FileX_setWriteFunction(FileX_WriteFn fn) { t_writeFn = fn; }
