// A fatal stop with modified notes: a child process raises an error that no
// level takes; its exit hook writes a recovery copy of each modified note
// into the backup folder, the notes themselves stay as they were, and the
// next start offers the copies and opens them.
#include <gtest/gtest.h>

#include <QApplication>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/mainframe/main_frame.h"
#include "app/saving/emergency_save.h"
#include "core/errors/errors.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "support/test_support.h"
#include "undo/undo_history.h"
#include "app/blackbox/zerbin_run.h"

namespace {

const char* kNote =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00420\" height=\"01220\" sub_doctype=\"zerbin-300\">\r\n"
    "<g id=\"page1\" width=\"400\" height=\"1200\" transform=\"translate(+10,+10)\">\r\n"
    "<rect x=\"20\" y=\"20\" width=\"100\" height=\"80\" style=\"fill:rgb(255,0,0)\" "
    "fill=\"rgb(255,0,0)\"/>\r\n</g>\r\n"
    "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\"/>\r\n</zerbin-pages>\r\n"
    "</svg>\r\n";

class AnswerPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view, PromptButtons, PromptIcon,
                          PromptAnswer, uint32_t) override {
    asked.emplace_back(text);
    return answer;
  }
  PromptAnswer answer = PromptAnswer::Yes;
  std::vector<std::string> asked;
};

std::string gBackup;
void writeRecoveryCopies(void*) { EmergencySave_writeAll(gBackup); }

std::unique_ptr<CMainFrame> openMoved(const std::string& dir, const std::string& path, int dx) {
  CMainFrameOptions o;
  o.workFolder = dir + "/work";
  auto f = std::make_unique<CMainFrame>(std::string(), o);
  f->LoadNote(path, false);
  if (dx != 0) {
    NoteDocument& doc = f->document();
    CadPrim& live = doc.workingFigures().at(doc.workingFigures().size() - 1);
    auto before = Undo_copyOf(live, &doc.workingFigures());
    live.MoveBy(dx, 0);
    f->undo().RecordChange(std::move(before), live, doc, doc.currentPageNumber());
  }
  f->show();
  return f;
}

int32_t rectX(CMainFrame& f) {
  const FigureList& list = f.document().workingFigures();
  return list.at(list.size() - 1).GetBounds().x;
}

}  // namespace

TEST(EmergencySave, AFatalStopLeavesRecoveryCopiesThatTheNextStartOpens) {
  // The child runs this test again up to the fatal stop: the same folder.
  const std::string dir = testing_support::FixedDir("emergency-save");
  gBackup = dir + "/prof/backup";
  FileX_makeFolders(dir + "/work", false);
  const std::string a = dir + "/a.svg", b = dir + "/b.svg", c = dir + "/c.svg";
  for (const std::string& p : {a, b, c}) testing_support::WriteFileBytes(p, kNote);
  AnswerPrompts prompts;
  UserPrompts_set(&prompts);
  {
    // a and b are modified, c is not.
    auto fa = openMoved(dir, a, 30);
    auto fb = openMoved(dir, b, 50);
    auto fc = openMoved(dir, c, 0);
    QApplication::processEvents();
    EXPECT_EXIT(
        {
          Errors_setExitHook(writeRecoveryCopies, nullptr);
          Errors_UNOFFICIAL();
        },
        testing::ExitedWithCode(14), "");
  }
  // The notes themselves are untouched.
  for (const std::string& p : {a, b, c}) EXPECT_EQ(testing_support::ReadFileBytes(p), kNote) << p;
  // One copy for each modified note, listed with its note.
  std::vector<EmergencyCopy> listed = EmergencySave_listed(gBackup);
  ASSERT_EQ(listed.size(), 2u);
  // The windows are visited in no fixed order.
  if (listed[0].original > listed[1].original) std::swap(listed[0], listed[1]);
  EXPECT_EQ(listed[0].copy, gBackup + "/recovery-a.svg-1.svg");
  EXPECT_EQ(listed[0].original, a);
  EXPECT_EQ(listed[1].copy, gBackup + "/recovery-b.svg-1.svg");
  EXPECT_EQ(listed[1].original, b);
  EXPECT_FALSE(FileX_exists(gBackup + "/recovery-c.svg-1.svg"));

  // The next start asks once; Yes opens the copies with the changes in them.
  std::map<std::string, std::unique_ptr<CMainFrame>> opened;
  const int n = EmergencySave_offerRecovery(gBackup, true, [&](const std::string& copy) {
    opened[copy] = openMoved(dir, copy, 0);
  });
  EXPECT_EQ(n, 2);
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_NE(prompts.asked[0].find(a), std::string::npos);
  EXPECT_NE(prompts.asked[0].find(b), std::string::npos);
  ASSERT_EQ(opened.size(), 2u);
  const int32_t x = rectX(*openMoved(dir, c, 0));
  EXPECT_EQ(rectX(*opened[listed[0].copy]), x + 30);
  EXPECT_EQ(rectX(*opened[listed[1].copy]), x + 50);
  EXPECT_FALSE(FileX_exists(gBackup + "/" + EmergencySave_listName));
  // Asked only once.
  EXPECT_EQ(EmergencySave_offerRecovery(gBackup, true, [](const std::string&) {}), 0);
  EXPECT_EQ(prompts.asked.size(), 1u);
  UserPrompts_set(nullptr);
}

TEST(EmergencySave, TheProgramOffersTheRecoveryCopiesAtItsNextStart) {
  testing_support::TempDir dir;
  const std::string backup = dir.file("P/backup");
  FileX_makeFolders(backup, false);
  const std::string copy = backup + "/recovery-a.svg-1.svg";
  testing_support::WriteFileBytes(copy, kNote);
  testing_support::WriteFileBytes(backup + "/recovery.txt", copy + "\t" + dir.file("a.svg") + "\r\n");
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P")});
  EXPECT_EQ(r.status, 0) << r.echo;
  EXPECT_NE(r.echo.find(testing_support::Sjis(u8"保存されていなかったノートの復旧用コピーを作りました。")),
            std::string::npos)
      << r.echo;
  EXPECT_NE(r.echo.find(copy + " (" + dir.file("a.svg") + ")"), std::string::npos) << r.echo;
  // The copy was opened (it heads the recent list) and is asked for once.
  EXPECT_NE(testing_support::ReadFileBytes(dir.file("P/recent.ini")).find(copy), std::string::npos);
  EXPECT_FALSE(FileX_exists(backup + "/recovery.txt"));
  EXPECT_EQ(testing_support::ReadFileBytes(copy), kNote);
}
