// Work that survives a fatal stop: when the program stops on an error that
// no level takes, every main window whose note is modified writes a
// recovery copy into the backup folder (never over the note itself), and
// the list "recovery.txt" there names each copy with its note.  The next
// start asks whether to open them.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CMainFrame;

inline constexpr const char* EmergencySave_listName = "recovery.txt";

struct EmergencyCopy {
  std::string copy;      // CP932, the recovery copy in the backup folder
  std::string original;  // CP932, the note's path ("" for an untitled note)
};

// Writes the recovery copies of the modified notes of all main windows into
// `backupFolder` and appends them to its list.  Never raises (a copy that
// cannot be written is skipped); answers how many were written.
int EmergencySave_writeAll(const std::string& backupFolder);
// One window's note as a recovery copy in `backupFolder`, listed in the
// recovery list; the note file is never touched.  Answers whether written.
bool EmergencySave_writeCopy(CMainFrame& frame, const std::string& backupFolder);

// Names a copy in the recovery list of `backupFolder` (once): a periodic
// backup that a kill leaves behind is offered at the next start.
bool EmergencySave_list(const std::string& backupFolder, const std::string& copy,
                        const std::string& original);

// The copies of the list in `backupFolder` that still exist.
std::vector<EmergencyCopy> EmergencySave_listed(const std::string& backupFolder);

// When the list names copies: asks whether to open them; Yes opens each
// through `open`.  The list is removed either way (the copies stay in the
// backup folder).  Answers how many were opened.
int EmergencySave_offerRecovery(const std::string& backupFolder, bool japanese,
                                const std::function<void(const std::string& copy)>& open);
