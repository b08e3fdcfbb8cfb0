// What the note writer asks of the window that owns the note, and the steps
// of a save that belong to other parts of the program (page images and HTML
// copies, backups, the recent-files list, undo's saved mark, the window
// title, messages).  Every step has a default that does nothing, so a batch
// conversion or a test gives only what it needs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/strx/strx_vars.h"

class TextMetrics;

class NoteSaveHost {
 public:
  virtual ~NoteSaveHost() = default;

  // --- what the writer needs to write ---
  // Measures text while every page is laid out before it is written; null
  // writes the figures with the layout they have.
  virtual const TextMetrics* metrics() const { return nullptr; }
  // Takes the application's file lock, held for the whole save (waiting as
  // long as it takes); false when it cannot be had, which fails the save.
  virtual bool lockFiles() { return true; }
  virtual void unlockFiles() {}
  // The view shows the note at a fixed zoom ("__viewBox").
  virtual bool fixedZoom() const { return false; }
  // The page-switching script (the installation's "svg-script.txt"); ""
  // leaves the script without it.
  virtual std::string scriptPath() const { return ""; }
  // Folder variables for "%name%" in links (null: the environment only).
  virtual StrX_VarLookup variables() const { return nullptr; }
  // The LowerPath setting.
  virtual bool lowerPath() const { return false; }
  // The user interface speaks Japanese.
  virtual bool japanese() const { return true; }

  // --- the note's window ---
  // The path the note was opened from or last saved to ("" for a new note).
  virtual std::string notePath() const { return ""; }
  virtual void setNotePath(std::string_view) {}
  virtual void refreshTitle() {}
  virtual void addRecentFile(std::string_view) {}
  // Undo marks its current state as the saved one.
  virtual void markSaved() {}
  // The note's auto-save is on (shown in the failure message).
  virtual bool autoSaveEnabled() const { return false; }

  // --- further files made by a save ---
  // The page's regenerated file (corr-image): an image of page `page`
  // (from 1) of `pageCount`, or, for page 1, the HTML ("V" for ".htm", "v"
  // for ".html") or MHTML ("m") copy of the whole note.  Absolute paths.
  virtual void showStatus(std::string_view) {}
  virtual void exportPageImage(int32_t /*page*/, std::string_view /*path*/) {}
  virtual void exportHtml(std::string_view /*path*/, char /*mode*/) {}
  // Where the keyword index of a saved note goes ("" writes none), and the
  // folder of its plain-text dump for full-text search ("" writes none).
  virtual std::string keywordsFolder() const { return ""; }
  virtual std::string plainTextFolder() const { return ""; }
  // The backup copy of a saved note.
  virtual void backup(std::string_view /*savedPath*/) {}
  // The mirror copy of the MultiSaveRoot setting: 0, or the result code of
  // the failed copy.
  virtual int mirror(std::string_view /*savedPath*/) { return 0; }

  // --- messages ---
  // A failed save: `text` is the whole message; `caption` "" means none.
  virtual void showSaveFailure(std::string_view /*text*/, std::string_view /*caption*/) {}
  // A step after the note file was written failed (a page image, the
  // keyword index, the title, the recent list, the backup, ...): `text` is
  // the path the step worked on and the error's message.  The note itself
  // is saved; the error log has the line too.
  virtual void showSaveStepFailure(std::string_view /*text*/) {}
};
