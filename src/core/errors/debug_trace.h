// The developer trace: "DebugOut.txt" on the user's desktop until the
// program names its own file (the application puts it in its log folder);
// standard output when the name is "*".  Written under the named lock
// "printf_file_mutex".  Each writing thread gets an indent slot (at most 8).
#pragma once

// Sets the trace file (a CP932 path; "*" for standard output).  The file
// is deleted at its first use in a run; a missing folder is created.
void DebugTrace_setName(const char* path);
// Deletes the trace file when this run wrote to it (a trace left by an
// earlier run stays); answers whether a file was deleted.
bool DebugTrace_removeFile();
// Appends the formatted text; 0, or 1027 when writing failed.
int DebugTrace_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
