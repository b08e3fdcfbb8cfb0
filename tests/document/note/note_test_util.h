// Helpers of the note tests: a note in a fresh work folder, pages labelled
// by title and by the content of their ink layer files, and the checks
// that the files still follow their pages.
#pragma once

#include <dirent.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "document/note/note_document.h"
#include "support/test_support.h"

namespace note_test {

// prefix followed by the number ("p" + std::to_string(n) trips a false
// -Wrestrict warning of the compiler).
inline std::string named(const char* prefix, int32_t n) {
  std::string s = prefix;
  s += std::to_string(n);
  return s;
}

// Gives page n the title `name` and ink layer files holding "<name>/back"
// and "<name>/front".
inline void label(NoteDocument& doc, int32_t n, const std::string& name) {
  doc.page(n)->setTitle(name);
  testing_support::WriteFileBytes(doc.inkLayerPath(n, InkLayer_back), name + "/back");
  testing_support::WriteFileBytes(doc.inkLayerPath(n, InkLayer_front), name + "/front");
}

// The titles of the records in list order.
inline std::vector<std::string> titles(const NoteDocument& doc) {
  std::vector<std::string> out;
  for (size_t i = 0; i < doc.pageCount(); ++i) out.push_back(doc.pageAt(i).title());
  return out;
}

// "" when the two ink layer files of every page hold what label() wrote for
// the page's title; else the first mismatch.
inline std::string inkMismatch(const NoteDocument& doc) {
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const int32_t n = doc.pageNumberAt(i);
    const std::string& t = doc.pageAt(i).title();
    const std::string back = testing_support::ReadFileBytes(doc.inkLayerPath(n, InkLayer_back));
    const std::string front = testing_support::ReadFileBytes(doc.inkLayerPath(n, InkLayer_front));
    if (back != t + "/back" || front != t + "/front") {
      return "page " + std::to_string(n) + " (" + t + ") holds \"" + back + "\", \"" + front + "\"";
    }
  }
  return "";
}

// The page numbers that have an ink layer file of `layer` for the document
// number in the folder.
inline std::set<int> inkFileNumbers(const std::string& folder, int32_t documentNumber,
                                    int32_t layer) {
  std::set<int> out;
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "ink_%08X_", static_cast<uint32_t>(documentNumber));
  DIR* d = opendir(folder.c_str());
  if (d == nullptr) return out;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.rfind(prefix, 0) != 0) continue;
    int page = 0, l = 0;
    if (std::sscanf(name.c_str() + std::string(prefix).size(), "%d_%d", &page, &l) == 2 &&
        l == layer) {
      out.insert(page);
    }
  }
  closedir(d);
  return out;
}

// The numbers firstPageNumber ... lastPageNumber.
inline std::set<int> pageNumbers(const NoteDocument& doc) {
  std::set<int> out;
  for (int32_t n = doc.firstPageNumber(); n <= doc.lastPageNumber(); ++n) out.insert(n);
  return out;
}

// Records what a deletion hands over and answers a chosen entry number.
class FakeUndo : public PageUndoHistory {
 public:
  explicit FakeUndo(int32_t answer) : answer_(answer) {}
  int32_t RecordDeletedPages(DeletedPages deleted) override {
    kept.push_back(std::move(deleted));
    return answer_;
  }
  std::vector<DeletedPages> kept;

 private:
  int32_t answer_;
};

}  // namespace note_test
