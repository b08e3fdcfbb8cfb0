// "-cs": the public copy of a note, made by the built program without a
// window.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/filex/filex.h"
#include "core/filex/filex_info.h"
#include "document/note/note_document.h"
#include "document/writer/note_layout.h"
#include "document/writer/note_writer.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"
#include "zerbin_run.h"

using namespace testing_support;

namespace {

// A note of three pages (page 2 a child of page 1), a back page, every
// figure kind, line ends hanging on text boxes and Japanese text.
void FillSampleNote(NoteDocument& doc, FixedMetrics& metrics, const char* filePub) {
  int32_t number = 1;
  auto fill = [&](int32_t dx) {
    FigureList& list = doc.workingFigures();
    auto a = std::make_unique<Text_Box>(&metrics);
    a->SetNumber(number++);
    a->SetBasePoint(40 + dx, 40);
    a->SetText(Sjis(u8"見出し") + "\r\nline two");
    a->Layout(metrics, DrawContext{});
    Text_Box& boxA = static_cast<Text_Box&>(list.append(std::move(a)));
    auto b = std::make_unique<Text_Box>(&metrics);
    b->SetNumber(number++);
    b->SetBasePoint(240 + dx, 140);
    b->SetText("target");
    b->Layout(metrics, DrawContext{});
    Text_Box& boxB = static_cast<Text_Box&>(list.append(std::move(b)));
    auto line = std::make_unique<Line_Ex>();
    line->SetNumber(number++);
    line->SetPoints({60 + dx, 50}, {250 + dx, 150});
    line->SetArrow(2, 3);
    Line_Ex& l = static_cast<Line_Ex&>(list.append(std::move(line)));
    boxA.AttachEnd(0, l, 1);
    boxB.AttachEnd(0, l, 2);
    auto r = std::make_unique<Rect_Ex>();
    r->SetNumber(number++);
    r->shape = RectShape_RoundRect;
    r->x = 20 + dx;
    r->y = 200;
    r->width = 60;
    r->height = 30;
    r->fillColour = 0x80FFFF;
    r->url = "http://example.com/a?b=1&c='2'";
    list.append(std::move(r));
    auto m = std::make_unique<Matome>();
    m->SetNumber(number++);
    m->SetPoints({300 + dx, 20}, {310 + dx, 120});
    list.append(std::move(m));
    auto c = std::make_unique<Line_Corner>();
    c->SetNumber(number++);
    c->setEnd(1, 100 + dx, 250);
    c->setEnd(2, 300 + dx, 280);
    c->setThrough(200 + dx, 265);
    c->setArrow(2, 6);
    list.append(std::move(c));
  };
  doc.pageAt(0).setTitle(Sjis(u8"表紙 & \"まえがき\""));
  fill(0);
  doc.AddPage(AddPage_child);
  doc.currentPage()->setTitle("child");
  fill(10);
  doc.AddPage(AddPage_next);
  doc.currentPage()->setTitle("third");
  fill(20);
  doc.ToggleBackPage(true);
  fill(30);
  NoteDocumentSettings s = doc.documentSettings();
  s.pubFile = filePub;
  doc.setDocumentSettings(s);
}

void WriteSampleNote(const std::string& work, const std::string& path, const char* filePub = "") {
  SaveNewNote(work, path, [&](NoteDocument& doc, FixedMetrics& metrics) { FillSampleNote(doc, metrics, filePub); });
}

TEST(PublicCopyBlackBox, PublicCopyOfItsOwnOutputIsIdentical) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  WriteSampleNote(dir.file("work"), dir.file("note.svg"));
  ZerbinRun first = runZerbin(dir, {prof, "-cs", "-pub=*", dir.file("note.svg"), dir.file("one.svg")});
  ASSERT_EQ(first.status, 0) << first.echo;
  const std::string one = ReadFileBytes(dir.file("one.svg"));
  ASSERT_GT(one.size(), 1000u);
  EXPECT_EQ(one.substr(0, 2), "\xFF\xFE");  // Japanese titles: the wide form
  ZerbinRun second = runZerbin(dir, {prof, "-cs", "-pub=*", dir.file("one.svg"), dir.file("two.svg")});
  ASSERT_EQ(second.status, 0) << second.echo;
  EXPECT_EQ(ReadFileBytes(dir.file("two.svg")), one);
}

TEST(PublicCopyBlackBox, SvgzDestinationIsGzip) {
  TempDir dir;
  WriteSampleNote(dir.file("work"), dir.file("note.svg"));
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cs", dir.file("note.svg"), dir.file("out.SVGZ")});
  ASSERT_EQ(r.status, 0) << r.echo;
  // "-cs" names its file as "-cv" does: the web name is lower case.
  EXPECT_FALSE(FileX_exists(dir.file("out.SVGZ")));
  EXPECT_EQ(ReadFileBytes(dir.file("out.svgz")).substr(0, 2), "\x1F\x8B");
  r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cS", dir.file("note.svg"), dir.file("Out.SVGZ")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(ReadFileBytes(dir.file("Out.SVGZ")).substr(0, 2), "\x1F\x8B");
}

TEST(PublicCopyBlackBox, UnpublishedFileGivesThePlaceholder) {
  TempDir dir;
  WriteSampleNote(dir.file("work"), dir.file("note.svg"), "intra");
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cs", "-pub=web", dir.file("note.svg"), dir.file("out.svg")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(ReadFileBytes(dir.file("out.svg")), NoteLayout_placeholderDocument());
}

TEST(PublicCopyBlackBox, FailuresAreReportedWithExitStatusOne) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  ZerbinRun missing = runZerbin(dir, {prof, "-cs", dir.file("none.svg"), dir.file("out.svg")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_FALSE(missing.echo.empty());
  EXPECT_FALSE(FileX_exists(dir.file("out.svg")));

  WriteFileBytes(dir.file("bad.svg"), "<svg><g></g></g></svg>");
  ZerbinRun broken = runZerbin(dir, {prof, "-cs", dir.file("bad.svg"), dir.file("out.svg")});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.echo.find(Sjis(u8"</g> が多すぎる")), std::string::npos) << broken.echo;

  // Without DEST the copy takes the command line's default extension
  // beside the note, which stays as it was; named as the note itself, the
  // copy is refused.
  WriteSampleNote(dir.file("work"), dir.file("note.svg"));
  const std::string before = ReadFileBytes(dir.file("note.svg"));
  ZerbinRun beside = runZerbin(dir, {prof, "-cs", dir.file("note.svg")});
  EXPECT_EQ(beside.status, 0) << beside.echo;
  EXPECT_TRUE(FileX_isFile(dir.file("note.wsf")));
  EXPECT_EQ(ReadFileBytes(dir.file("note.svg")), before);
  ZerbinRun self = runZerbin(dir, {prof, "-cs", dir.file("note.svg"), dir.file("note.svg")});
  EXPECT_EQ(self.status, 1);
  EXPECT_EQ(ReadFileBytes(dir.file("note.svg")), before);

  WriteSampleNote(dir.file("work"), dir.file("note2.svg"));
  ZerbinRun unwritable = runZerbin(dir, {prof, "-cs", dir.file("note2.svg"), dir.file("no/such/out.svg")});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.echo.find(Sjis(u8"に書込みができません。保存に失敗しました。")), std::string::npos)
      << unwritable.echo;
}

}  // namespace

namespace {

// A note with two linked text boxes: one to a note the replacement file
// maps to a web page, one to a note it cuts.
void WriteLinkedNote(const std::string& work, const std::string& path, const std::string& folder) {
  SaveNewNote(work, path, [&](NoteDocument& doc, FixedMetrics& metrics) {
    int32_t number = 1;
    for (const char* target : {"guide.svg", "secret.svg"}) {
      auto t = std::make_unique<Text_Box>(&metrics);
      t->SetNumber(number);
      t->SetBasePoint(20, 20 * number++);
      t->SetText(target);
      t->SetUrl(folder + "/" + target);
      t->Layout(metrics, DrawContext{});
      doc.workingFigures().append(std::move(t));
    }
  });
}

TEST(PublicCopyBlackBox, LinksAreRewrittenByTheReplacementFile) {
  TempDir dir;
  WriteLinkedNote(dir.file("work"), dir.file("note.svg"), dir.path());
  WriteFileBytes(dir.file("links.txt"),
                 "[repurl]\r\nsrc=guide.svg\r\ndst=http://example.com/guide.html\r\n"
                 "src=secret.svg\r\ndst=script:cut\r\n");
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cs", "-repurl=" + dir.file("links.txt"),
                                dir.file("note.svg"), dir.file("out.svg")});
  ASSERT_EQ(r.status, 0) << r.echo;
  const std::string out = ReadFileBytes(dir.file("out.svg"));
  EXPECT_NE(out.find("<a xlink:href=\"http://example.com/guide.html\""), std::string::npos) << out;
  EXPECT_EQ(out.find("secret.svg\""), std::string::npos) << out;
  // The cut link leaves its text in place.
  EXPECT_NE(out.find(">secret.svg</text>"), std::string::npos) << out;
}

}  // namespace

namespace {

TEST(PublicCopyBlackBox, ReplacementFileErrorsAreReportedAsThemselves) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  WriteLinkedNote(dir.file("work"), dir.file("note.svg"), dir.path());

  // Missing: the read error of that file, not a write failure of the copy.
  ZerbinRun missing = runZerbin(dir, {prof, "-cs", "-repurl=" + dir.file("none.txt"),
                                      dir.file("note.svg"), dir.file("out.svg")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.echo, "読みこみモードで open できません。" + dir.file("none.txt") + "\n");
  EXPECT_FALSE(FileX_exists(dir.file("out.svg")));

  // A pair that begins with another key.
  WriteFileBytes(dir.file("links.txt"), "[repurl]\r\ndst=http://example.com/\r\nsrc=guide.svg\r\n");
  std::remove(dir.file("echo.txt").c_str());
  ZerbinRun bad = runZerbin(dir, {prof, "-cs", "-repurl2=" + dir.file("links.txt"),
                                  dir.file("note.svg"), dir.file("out.svg")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.echo, Sjis(u8"属性名が異なる（アプリ=src, ファイル=dst=http://example.com/ in ") +
                          dir.file("links.txt") + Sjis(u8"）") + "\n");
  EXPECT_FALSE(FileX_exists(dir.file("out.svg")));
}

}  // namespace

// Drawings made by other programs: the public copy of each is refused with
// a message or written well-formed, and a public copy of that copy changes
// no byte (text with no code page 932 form included).
TEST(PublicCopyBlackBox, ForeignDrawingsGiveWellFormedCopiesThatStayTheSame) {
  TempDir dir;
  const std::vector<std::string> drawings = {
      // A graph layout tool: a translated group, polygons, UTF-8 text.
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
      "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n"
      "<svg viewBox=\"0 0 200 100\" xmlns=\"http://www.w3.org/2000/svg\">\n"
      "<g transform=\"translate(4 96)\"><title>%3</title>"
      "<polygon fill=\"#ffffff\" stroke=\"transparent\" points=\"-4,4 -4,-96 196,-96 196,4\"/>"
      "<text x=\"10\" y=\"-40\" font-size=\"14.00\">\xE2\x88\x85 caf\xC3\xA9 \xF0\x9F\x98\x80</text>"
      "<ellipse cx=\"50\" cy=\"-50\" rx=\"20\" ry=\"10\"/></g></svg>\n",
      // A vector editor: its namespaces, a layer, a path, a tspan.
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\" "
      "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"210mm\" height=\"297mm\">"
      "<sodipodi:namedview id=\"base\" inkscape:zoom=\"0.35\"/>"
      "<g inkscape:label=\"Layer 1\" inkscape:groupmode=\"layer\"><rect x=\"10\" y=\"10\" width=\"50\" height=\"20\" "
      "style=\"fill:#ff0000;stroke:none\"></rect><path d=\"M 10,10 C 20,20 40,20 50,10\"/>"
      "<text x=\"5\" y=\"80\"><tspan x=\"5\" y=\"80\">a &amp; b</tspan><tspan x=\"5\" y=\"95\">c</tspan></text>"
      "</g></svg>",
      // Entities, CDATA, comments and a style sheet.
      "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY e \"entity text\">]>"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"100\"><style><![CDATA[ .a { fill: red } ]]></style>"
      "<!-- a comment --><text x=\"1\" y=\"20\">&e; &#x41;&#66; &lt;tag&gt;</text>"
      "<line x1=\"0\" y1=\"0\" x2=\"1e9\" y2=\"-1e9\"/><circle r=\"-5\"/></svg>",
      // Numbers and nesting beyond what a page holds.
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"99999999\" height=\"-3\">" + std::string(200, ' ') +
          "<g><g><g><g><svg x=\"10\" y=\"10\" width=\"5\" height=\"5\"><rect width=\"NaN\" height=\"inf\"/></svg>"
          "</g></g></g></g><image href=\"data:image/png;base64,AAAA\" width=\"10\" height=\"10\"/></svg>",
      // Not a drawing at all.
      "<html><body>not svg</body></html>",
  };
  int written = 0;
  for (size_t i = 0; i < drawings.size(); ++i) {
    const std::string n = std::to_string(i);
    WriteFileBytes(dir.file(n + ".svg"), drawings[i]);
    ZerbinRun first = runZerbin(dir, {"-prof=" + dir.file("P"), "-cs", dir.file(n + ".svg"), dir.file(n + ".a.svg")});
    if (first.status != 0) {
      EXPECT_EQ(first.status, 1) << n;
      EXPECT_FALSE(first.echo.empty()) << n;
      EXPECT_FALSE(std::filesystem::exists(dir.file(n + ".a.svg"))) << n;
      continue;
    }
    ++written;
    EXPECT_EQ(std::system(("xmllint --noout --nonet '" + dir.file(n + ".a.svg") + "' 2>/dev/null").c_str()), 0) << n;
    ZerbinRun second = runZerbin(dir, {"-prof=" + dir.file("P"), "-cs", dir.file(n + ".a.svg"), dir.file(n + ".b.svg")});
    ASSERT_EQ(second.status, 0) << n << second.echo;
    EXPECT_EQ(ReadFileBytes(dir.file(n + ".b.svg")), ReadFileBytes(dir.file(n + ".a.svg"))) << n;
  }
  EXPECT_GE(written, 2);
}
