#include <gtest/gtest.h>

#include "document/writer/note_bytes.h"
#include "document/writer/note_layout.h"
#include "document/writer/note_writer.h"
#include "note_writer_fixture.h"

using namespace testing_support;

namespace {

class NotePublish : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.NewDocument(5, false);
    doc.uuid = TestUuid();
    target = dir.file("public.svg");
    host.path = dir.file("note.svg");
  }
  // Adds an ordinary page after the current one with a page list and one
  // rectangle with a figure list.
  void page(const char* title, const char* pageList, const char* figureList, int32_t x) {
    if (!first) doc.AddPage(AddPage_next);
    first = false;
    doc.currentPage()->setTitle(title);
    doc.workingSettings().setPubPage(pageList);
    auto r = TestRect(x, x, 0, 5, 5);
    r->pub = figureList;
    doc.workingFigures().append(std::move(r));
  }
  int publish(std::optional<std::string> name) {
    NotePublishOptions options;
    options.publicationName = std::move(name);
    return NoteWriter_savePublished(doc, target, options, host);
  }

  TempDir work, dir;
  NoteDocument doc{work.path()};
  RecordingSaveHost host;
  std::string target;
  bool first = true;
};

TEST_F(NotePublish, PagesAreFilteredByNameAndRenumbered) {
  page("web", "web", "", 1);
  page("web-2", "web-2", "", 2);
  page("intra", "intra", "", 3);
  page("open", "", "web", 4);     // no page list: stays because a figure passes
  page("closed", "", "", 5);      // no list anywhere: nothing marks it public
  ASSERT_EQ(publish("web"), 0);
  const std::string text = ReadFileBytes(target);
  EXPECT_NE(text.find("<g id=\"page1\" width=\"450\" height=\"300\" transform=\"translate(+10,+10)\" "
                      "zerbin-pub=\"web\">"),
            std::string::npos);
  EXPECT_NE(text.find("<g id=\"page2\" width=\"450\" height=\"300\" transform=\"translate(+10,+320)\">"),
            std::string::npos);
  EXPECT_EQ(text.find("page3"), std::string::npos);
  EXPECT_NE(text.find("x=\"1.5\""), std::string::npos);
  EXPECT_NE(text.find("x=\"4.5\""), std::string::npos);
  for (const char* gone : {"x=\"2.5\"", "x=\"3.5\"", "x=\"5.5\"", "title=\"web-2\"", "title=\"intra\""})
    EXPECT_EQ(text.find(gone), std::string::npos) << gone;
  // The root and the script count the written pages only.
  EXPECT_NE(text.find(" width=\"00470\" height=\"00630\" onload="), std::string::npos);
  EXPECT_NE(text.find("var  mPage=2;"), std::string::npos);
  EXPECT_NE(text.find(Crlf("<zerbin-pages>\n\t<zerbin-page num=\"1\" title=\"web\"/>\n"
                           "\t<zerbin-page num=\"2\" title=\"open\"/>\n</zerbin-pages>\n")),
            std::string::npos);
}

TEST_F(NotePublish, WithoutANameEverythingWithoutListsIsWritten) {
  page("a", "", "", 1);
  page("b", "", "", 2);
  ASSERT_EQ(publish(std::nullopt), 0);
  const std::string text = ReadFileBytes(target);
  EXPECT_NE(text.find("x=\"1.5\""), std::string::npos);
  EXPECT_NE(text.find("x=\"2.5\""), std::string::npos);
}

TEST_F(NotePublish, ChildOfACutPageMovesUpAndLinksFollowTheNumbers) {
  page("top", "intra", "", 1);
  doc.AddPage(AddPage_child);
  first = true;
  page("child", "web", "", 2);
  first = false;
  page("next", "web", "", 3);
  // A link to the page with id2 "end" (page 3 of the note, page 2 written).
  doc.workingSettings().SetId("end");
  doc.SelectPage(2);
  auto r = TestRect(9, 9, 9, 5, 5);
  r->url = "#end";
  doc.workingFigures().append(std::move(r));
  ASSERT_EQ(publish("web"), 0);
  const std::string text = ReadFileBytes(target);
  EXPECT_NE(text.find(Crlf("<zerbin-pages>\n\t<zerbin-page num=\"1\" title=\"child\"/>\n"
                           "\t<zerbin-page num=\"2\" title=\"next\"/>\n</zerbin-pages>\n")),
            std::string::npos);
  EXPECT_NE(text.find("onclick=\"chgPage( evt, 2 )\""), std::string::npos);
}

TEST_F(NotePublish, UnpublishedFileGetsThePlaceholder) {
  NoteDocumentSettings s = doc.documentSettings();
  s.pubFile = "intra";
  doc.setDocumentSettings(s);
  page("a", "", "", 1);
  ASSERT_EQ(publish("web"), 0);
  EXPECT_EQ(ReadFileBytes(target), NoteLayout_placeholderDocument());
}

TEST_F(NotePublish, FailedPublicationShowsTheMessageWithoutCaption) {
  target = dir.file("missing/public.svg");
  page("a", "", "", 1);
  EXPECT_EQ(publish(std::nullopt), 1);
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_EQ(host.failures[0],
            target + Sjis(u8" に書込みができません。保存に失敗しました。") + "|");
}

TEST_F(NotePublish, PublishingLeavesTheNoteAlone) {
  page("a", "", "", 1);
  doc.formatVersion = 200;
  ASSERT_EQ(publish(std::nullopt), 0);
  EXPECT_EQ(doc.formatVersion, 200);
  EXPECT_EQ(host.path, dir.file("note.svg"));
  EXPECT_FALSE(doc.autoSaveDisabled);
  EXPECT_TRUE(host.backups.empty());
}

// Pen ink is content: a page that holds only ink is published when its
// lists pass, as a page with a figure would be.
TEST_F(NotePublish, PageWithOnlyInkIsKept) {
  const std::string ink = Crlf(
      "\t<g id=\"zerbin-ink\" type=\"front\">\n\t<g id=\"zerbin-stroke\">\n"
      "\t<line x1=\"1.5\" y1=\"2.5\" x2=\"3.5\" y2=\"4.5\"/>\n\t</g>\n\t</g>\n");
  page("figure", "web", "", 1);
  doc.AddPage(AddPage_next);  // 2: ink only, published by its list
  doc.currentPage()->setTitle("ink");
  doc.workingSettings().setPubPage("web");
  WriteFileBytes(doc.inkLayerPath(2, InkLayer_front), ink);
  doc.AddPage(AddPage_next);  // 3: ink only, for another publication
  doc.currentPage()->setTitle("intra ink");
  doc.workingSettings().setPubPage("intra");
  WriteFileBytes(doc.inkLayerPath(3, InkLayer_front), ink);
  doc.AddPage(AddPage_next);  // 4: empty (an empty ink file is no ink)
  doc.currentPage()->setTitle("empty");
  doc.workingSettings().setPubPage("web");
  doc.SelectPage(1);

  ASSERT_EQ(publish("web"), 0);
  const std::string text = ReadFileBytes(target);
  EXPECT_NE(text.find("<g id=\"page2\""), std::string::npos);
  EXPECT_EQ(text.find("<g id=\"page3\""), std::string::npos);
  EXPECT_NE(text.find("title=\"ink\""), std::string::npos);
  EXPECT_EQ(text.find("title=\"intra ink\""), std::string::npos);
  EXPECT_EQ(text.find("title=\"empty\""), std::string::npos);
  EXPECT_NE(text.find(ink), std::string::npos);
}

}  // namespace
