// The viewer mode's test of a complete note: its last bytes close the
// document, in code page 932 or UTF-16LE; a short file is never complete.
#include <gtest/gtest.h>

#include <string>

#include "app/toolbars/note_file_watcher.h"

TEST(NoteFileWatcher, ACompleteNoteEndsWithTheClosingTagAndALineEnd) {
  auto complete = [](const std::string& s) {
    return NoteFileWatcher_isCompleteTail(s.data(), s.size());
  };
  EXPECT_TRUE(complete("<g></g>\r\n</svg>\r\n"));
  EXPECT_TRUE(complete(std::string(100, 'x') + "</svg>\r\n"));
  EXPECT_FALSE(complete(std::string(100, 'x') + "</svg>\n"));
  EXPECT_FALSE(complete(std::string(100, 'x') + "</svg>\r\n "));
  EXPECT_FALSE(complete("</svg>\r\n")) << "shorter than 16 bytes";
  std::string wide;
  for (char c : std::string("</svg>\r\n")) wide += std::string{c, '\0'};
  EXPECT_TRUE(complete("\xff\xfe<\0s\0" + wide));
  EXPECT_FALSE(complete(wide.substr(0, 15)));
}
