// The developer trace: "DebugOut.txt" on the user's desktop (standard
// output when the name is "*"), written under the named lock
// "printf_file_mutex".  Each writing thread gets an indent slot (at most 8).
#pragma once

// Sets the trace file (a CP932 path; "*" for standard output).  The file
// is deleted at its first use in a run.
void DebugTrace_setName(const char* path);
// Appends the formatted text; 0, or 1027 when writing failed.
int DebugTrace_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
