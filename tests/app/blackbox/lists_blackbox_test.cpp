// "-links", "-ids" and "-cd": a note's links and figure ids as CSV lists and
// its text form for comparison tools, written by the built program.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "core/filex/filex.h"
#include "document/note/note_document.h"
#include "document/reader/note_reader.h"
#include "document/writer/note_writer.h"
#include "figures/base/app_counters.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"
#include "zerbin_run.h"

using namespace testing_support;

namespace {

struct Box {
  std::string text, url, id;
  int32_t x = 20, y = 40;
};

void AddBox(NoteDocument& doc, const Box& b, int32_t number, const TextMetrics& metrics) {
  auto t = std::make_unique<Text_Box>(&metrics);
  t->SetNumber(number);
  t->SetBasePoint(b.x, b.y);
  t->SetText(b.text);
  if (!b.url.empty()) t->SetUrl(b.url);
  t->SetId(b.id);
  t->Layout(metrics, DrawContext{});
  doc.workingFigures().append(std::move(t));
}

// A back page and two pages with a link of every kind, ids and a picture.
// `rectX` moves the plain rectangle of page 2 (the one figure two versions
// differ in).
void WriteLinkNote(TempDir& dir, const std::string& name, int32_t rectX = 300) {
  WriteFileBytes(dir.file("pic.png"), kPng);
  WriteFileBytes(dir.file("other.svg"), "<svg/>");
  WriteFileBytes(dir.file("exists.txt"), "x");
  SaveNewNote(dir.file("work"), dir.file(name), [&](NoteDocument& doc, FixedMetrics& metrics) {
    doc.currentPage()->setTitle("one");
    // 78 ASCII bytes and a double-byte character: the first line is cut
    // before that character rather than inside it.
    const std::string longLine = std::string(78, 'a') + Sjis(u8"日本");
    AddBox(doc, {longLine + "\r\nsecond line", "#k2", "k1"}, 1, metrics);
    AddBox(doc, {"other note", "other.svg#x", "", 20, 80}, 2, metrics);
    AddBox(doc, {"missing", "missing.txt", "", 20, 120}, 3, metrics);
    AddBox(doc, {"existing", "exists.txt", "", 20, 160}, 4, metrics);
    AddBox(doc, {"keyword", "?kw=word", "", 20, 200}, 5, metrics);
    AddBox(doc, {"mail", "mailto:a@example.com", "", 20, 240}, 10, metrics);
    AddBox(doc, {"variable", "%docs%/exists.txt", "", 20, 280}, 11, metrics);
    auto pic = PictureFigure(dir.file("pic.png"), 6);
    pic->x = 400;
    pic->y = 300;
    pic->url = "http://example.com/a?b=1";
    pic->target = "main";
    pic->id = "pic1";
    doc.workingFigures().append(std::move(pic));

    doc.AddPage(AddPage_next);
    doc.currentPage()->setTitle("two");
    AddBox(doc, {Sjis(u8"言う \"hi\", ok"), "", "k2"}, 7, metrics);
    auto r = std::make_unique<Rect_Ex>();
    r->SetNumber(8);
    r->x = rectX;
    r->y = 50;
    r->width = 60;
    r->height = 30;
    doc.workingFigures().append(std::move(r));

    // The back page holds a web link and an id.
    doc.ToggleBackPage(true);
    AddBox(doc, {"back", "https://example.org/", "bg"}, 9, metrics);
    doc.SelectPage(1);
  });
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < text.size(); start = end + 2) {
    end = std::min(text.find("\r\n", start), text.size());
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

TEST(ListsBlackBox, LinkAndIdListsHoldEveryLinkKindPagesFromTheBackPageAndPictures) {
  TempDir dir;
  WriteLinkNote(dir, "note.svg");
  const std::string prof = "-prof=" + dir.file("P");
  const std::string note = dir.file("note.svg");
  // The user's path variable "docs" names the note's folder.
  std::filesystem::create_directories(dir.file("P/path_var"));
  WriteFileBytes(dir.file("P/path_var/docs.ini"), "[PathVariable]\r\nPath = " + dir.path() + "\r\n \r\n");

  // Without a destination: NAME.links.csv; links as read (file links absolute).
  ZerbinRun links = runZerbin(dir, {prof, "-links", note});
  ASSERT_EQ(links.status, 0) << links.echo;
  const std::string arrow = Sjis(u8"←");
  const std::string cut = std::string(78, 'a');
  EXPECT_EQ(ReadFileBytes(dir.file("note.links.csv")),
            "\"https://example.org/\", \"\", \"true\", " + arrow + ", 0, \"back\", \"" + note + "\"\r\n" +
                "\"" + note + "#k2\", \"\", \"true\", " + arrow + ", 1, \"" + cut + "\", \"" + note + "\"\r\n" +
                "\"" + dir.file("other.svg#x") + "\", \"\", \"true\", " + arrow + ", 1, \"other note\", \"" +
                note + "\"\r\n" +
                "\"" + dir.file("missing.txt") + "\", \"\", \"false\", " + arrow + ", 1, \"missing\", \"" +
                note + "\"\r\n" +
                "\"" + dir.file("exists.txt") + "\", \"\", \"true\", " + arrow + ", 1, \"existing\", \"" +
                note + "\"\r\n" +
                "\"" + dir.file("?kw=word") + "\", \"\", \"true\", " + arrow + ", 1, \"keyword\", \"" + note +
                "\"\r\n" +
                "\"mailto:a@example.com\", \"\", \"true\", " + arrow + ", 1, \"mail\", \"" + note + "\"\r\n" +
                "\"%docs%/exists.txt\", \"\", \"true\", " + arrow + ", 1, \"variable\", \"" + note + "\"\r\n" +
                "\"http://example.com/a?b=1\", \"main\", \"true\", " + arrow + ", 1, \"(image)\", \"" +
                note + "\"\r\n");

  // A destination given keeps its name; the ids of every page, quotes doubled.
  ZerbinRun ids = runZerbin(dir, {prof, "-ids", note, dir.file("list.txt")});
  ASSERT_EQ(ids.status, 0) << ids.echo;
  EXPECT_FALSE(FileX_exists(dir.file("note.ids.csv")));
  EXPECT_EQ(ReadFileBytes(dir.file("list.txt")),
            "\"" + note + "#bg\", 0, \"back\"\r\n" +
                "\"" + note + "#k1\", 1, \"" + cut + "\"\r\n" +
                "\"" + note + "#pic1\", 1, \"(image)\"\r\n" +
                "\"" + note + "#k2\", 2, \"" + Sjis(u8"言う \"\"hi\"\", ok") + "\"\r\n");
  ZerbinRun derived = runZerbin(dir, {prof, "-ids", note});
  ASSERT_EQ(derived.status, 0) << derived.echo;
  EXPECT_EQ(ReadFileBytes(dir.file("note.ids.csv")), ReadFileBytes(dir.file("list.txt")));

  // Bad input: a missing note, a destination that cannot be written.
  ZerbinRun missing = runZerbin(dir, {prof, "-links", dir.file("none.svg")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.echo.find(Sjis(u8"none.svg を開こうとしましたが見つかりません。")), std::string::npos)
      << missing.echo;
  ZerbinRun unwritable = runZerbin(dir, {prof, "-ids", note, dir.file("no/such/folder/x.csv")});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.echo.find("x.csv"), std::string::npos) << unwritable.echo;
  EXPECT_FALSE(FileX_exists(dir.file("no")));
}

TEST(ListsBlackBox, CompareTextShowsOneChangedFigureAsOneLineAndIsStableAcrossSaves) {
  TempDir dir;
  WriteLinkNote(dir, "a.svg");
  WriteLinkNote(dir, "b.svg", 340);
  const std::string prof = "-prof=" + dir.file("P");
  ZerbinRun a = runZerbin(dir, {prof, "-cd", dir.file("a.svg")});
  ASSERT_EQ(a.status, 0) << a.echo;
  ZerbinRun b = runZerbin(dir, {prof, "-cd", dir.file("b.svg"), dir.file("b.diff")});
  ASSERT_EQ(b.status, 0) << b.echo;
  const std::string textA = ReadFileBytes(dir.file("a.txt"));
  const std::string textB = ReadFileBytes(dir.file("b.diff"));
  const std::vector<std::string> la = Lines(textA), lb = Lines(textB);
  ASSERT_EQ(la.size(), lb.size()) << textA << "\n---\n" << textB;
  std::vector<size_t> changed;
  for (size_t i = 0; i < la.size(); ++i)
    if (la[i] != lb[i]) changed.push_back(i);
  ASSERT_EQ(changed.size(), 1u) << textA << "\n---\n" << textB;
  EXPECT_EQ(la[changed[0]], "  rect 300,50 60x30");
  EXPECT_EQ(lb[changed[0]], "  rect 340,50 60x30");
  // Pages in order from the back page, with the texts, links and ids.
  EXPECT_EQ(la[0], Sjis(u8"[page 0] 背景"));
  EXPECT_NE(textA.find("[page 1] one\r\n"), std::string::npos) << textA;
  EXPECT_NE(textA.find("[page 2] two\r\n"), std::string::npos) << textA;
  EXPECT_NE(textA.find(" \"" + std::string(78, 'a') + Sjis(u8"日本") + "\\nsecond line\" link=\"#k2\""),
            std::string::npos)
      << textA;
  EXPECT_NE(textA.find(" id=\"pic1\" file=\"pic.png\"\r\n"), std::string::npos) << textA;
  EXPECT_NE(textA.find(Sjis(u8"\"言う \\\"hi\\\", ok\" id=\"k2\"")), std::string::npos) << textA;

  // The note read and saved again in its place gives the same text.
  const Errors_Msg e = CatchError([&] {
    FixedMetrics metrics;
    NoteDocument doc(dir.file("work"));
    AppCounters& counters = AppCounters_instance();
    NoteReadOptions read(counters);
    read.metrics = &metrics;
    NoteReader_read(doc, NoteDocument_newDocumentNumber(counters, dir.file("work")), dir.file("a.svg"), read);
    BlackBoxSaveHost host;
    ASSERT_EQ(NoteWriter_save(doc, dir.file("a.svg"), false, host), 0);
    doc.ClearDocument();
  });
  ASSERT_EQ(e.code, 0) << e.text;
  ZerbinRun again = runZerbin(dir, {prof, "-cd", dir.file("a.svg"), dir.file("again.txt")});
  ASSERT_EQ(again.status, 0) << again.echo;
  EXPECT_EQ(ReadFileBytes(dir.file("again.txt")), textA);
}

}  // namespace
