// Opening the note of the command line in the main window, run as the
// program: a note opens (status 0), a file that is no note is reported and
// ends the start with status 1, and no note gives the new-note template.
#include <gtest/gtest.h>

#include <string>

#include "core/filex/filex.h"
#include "support/test_support.h"
#include "zerbin_run.h"

TEST(OpenNoteBlackBox, NoteOpensAndAFileThatIsNoNoteIsReported) {
  testing_support::TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  const std::string good = dir.file("good.svg");
  FileX_writeWhole(good,
                   "<svg width=\"300\" height=\"200\"><rect x=\"1\" y=\"2\" width=\"30\" "
                   "height=\"40\"/></svg>");
  ZerbinRun r = runZerbin(dir, {prof, good});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", r.echo);
  // The window comes up without complaints from Qt about its panes.
  EXPECT_EQ(std::string::npos, r.err.find("Negative sizes")) << r.err;
  EXPECT_EQ(std::string::npos, r.err.find("QWidget::")) << r.err;

  // Each run below has a folder (and an echo file) of its own.
  testing_support::TempDir badRun, newRun, pageRun;
  const std::string bad = dir.file("bad.svg");
  FileX_writeWhole(bad, "this is not markup at all <<<");
  r = runZerbin(badRun, {prof, bad});
  EXPECT_EQ(1, r.status);
  const std::string unsupported = "Zerbin ではサポートされていない SVG の要素があるため、開けません。";
  const size_t first = r.echo.find(unsupported);
  EXPECT_NE(std::string::npos, first) << r.echo;
  // The reader's box tells it; the start-up does not say it again.
  EXPECT_EQ(std::string::npos, r.echo.find(unsupported, first + 1)) << r.echo;

  // No note: the new note comes from the profile's template.
  r = runZerbin(newRun, {prof});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", r.echo);
  // With "-page=" and a fragment naming pages the note has not, it still
  // opens on its first page.
  r = runZerbin(pageRun, {prof, "-page=7", good});
  EXPECT_EQ(0, r.status) << r.err;
}
