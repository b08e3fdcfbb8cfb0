// A note, a work folder and the reader's options for the reader's tests,
// and the pieces of note files they are made of.
#pragma once

#include <dirent.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/prompts/user_prompts.h"
#include "core/strx/codepage.h"
#include "document/note/note_document.h"
#include "document/reader/note_reader.h"
#include "support/fixed_metrics.h"
#include "support/test_support.h"

namespace note_reader_test {

// The root of a note the writer made, around `body` (pages, title list).
inline std::string WrittenNote(const std::string& body, int32_t width = 470, int32_t height = 320) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n\r\n"
         "<svg sub_doctype=\"zerbin-300\" zerbin_canvas_type=\"document\"\r\n"
         " width=\"" +
         std::to_string(width) + "\" height=\"" + std::to_string(height) +
         "\"\r\n uuid=\"{01234567-89AB-CDEF-0123-456789ABCDEF}\">\r\n\r\n" + body + "</svg>\r\n";
}

// A root without the version mark (an older note or a foreign file).
inline std::string PlainSvg(const std::string& body, const std::string& rootAttributes = "") {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\"" + rootAttributes + ">\r\n" + body +
         "</svg>\r\n";
}

// A page group of the writer's form.
inline std::string PageGroup(const std::string& id, int32_t w, int32_t h, const std::string& body,
                             const std::string& extra = "") {
  return "<g id=\"" + id + "\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) +
         "\" transform=\"translate(+10,+10)\"" + extra + ">\r\n" + body + "</g>\r\n";
}

// The names in a folder (without "." and "..").
inline std::set<std::string> FolderNames(const std::string& folder) {
  std::set<std::string> out;
  DIR* d = opendir(folder.c_str());
  if (d == nullptr) return out;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") out.insert(name);
  }
  closedir(d);
  return out;
}

// UTF-16 little-endian with the byte-order mark of a UTF-8 text.
inline std::string Utf16File(std::u8string_view utf8) {
  const std::u16string units =
      Utf8_toUtf16(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
  std::string out = "\xFF\xFE";
  for (char16_t u : units) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

class NoteReaderFixture : public ::testing::Test {
 protected:
  void SetUp() override { UserPrompts_set(&prompts); }
  void TearDown() override { UserPrompts_set(nullptr); }

  NoteReadOptions options() {
    NoteReadOptions o(counters);
    o.metrics = &metrics;
    o.japanese = japanese;
    o.prompts = &prompts;
    return o;
  }
  // Writes `bytes` to the note folder as `name` and answers its path.
  std::string note(const std::string& name, const std::string& bytes) {
    const std::string path = dir.file(name);
    testing_support::WriteFileBytes(path, bytes);
    return path;
  }
  void read(const std::string& path) { NoteReader_read(doc, documentNumber, path, options()); }
  Errors_Msg readError(const std::string& path) {
    return testing_support::CatchError([&] { read(path); });
  }
  // What the messages of the read said (one line each).
  std::string echo() const { return testing_support::ReadFileBytes(echoPath); }

  Canvas& settings(int32_t page) { return doc.page(page)->settings(); }

  testing_support::TempDir work;
  testing_support::TempDir dir;
  testing_support::TempDir echoDir;
  std::string echoPath = echoDir.file("echo.txt");
  NonInteractivePrompts prompts{echoPath};
  NoteDocument doc{work.path()};
  AppCounters counters;
  FixedMetrics metrics;
  bool japanese = false;
  int32_t documentNumber = 5;
};

}  // namespace note_reader_test
