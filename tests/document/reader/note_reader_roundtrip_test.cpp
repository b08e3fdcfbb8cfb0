// Notes written by the note writer read back into the same note, and
// written again into the same bytes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/filex/filex.h"
#include "document/writer/note_bytes.h"
#include "document/writer/note_writer.h"
#include "document/writer/note_writer_fixture.h"
#include "figures/base/svg_write_context.h"
#include "figures/canvas/canvas.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "note_reader_fixture.h"

using namespace testing_support;
using namespace note_reader_test;

namespace {

// An ink layer file as the view writes it: its start tag on a line of its
// own, strokes, and for the front layer the raw ink data.
std::string FrontLayer(const std::string& raw1, const std::string& raw2) {
  return "\t<g id=\"zerbin-ink\" type=\"front\">\r\n"
         "\t<g id=\"zerbin-stroke\" style=\"stroke:rgb(255,0,0);stroke-linecap:round\">\r\n"
         "\t<line x1=\"1.5\" y1=\"2.5\" x2=\"3.5\" "
         "y2=\"4.5\"\r\n\t\tstyle=\"stroke-width:2.0\"/>\r\n"
         "\t</g>\r\n<zerbin-ink-rawdata>\r\n<![CDATA[\r\n" +
         raw1 + "\r\n" + raw2 + "\r\n]]>\r\n</zerbin-ink-rawdata>\r\n\t</g>\r\n";
}

std::string BackLayer() {
  return "\t<g id=\"zerbin-ink\" type=\"back\">\r\n"
         "\t<g id=\"zerbin-stroke\" style=\"stroke:rgb(0,0,255);stroke-linecap:round;"
         "stroke-opacity:0.30;fill-opacity:0.0\">\r\n"
         "\t<line x1=\"10\" y1=\"20\" x2=\"30\" y2=\"40\"\r\n\t\tstyle=\"stroke-width:8.0\"/>\r\n"
         "\t</g>\r\n\t</g>\r\n";
}

class NoteReaderRoundTripTest : public NoteReaderFixture {
 protected:
  void SetUp() override {
    NoteReaderFixture::SetUp();
    source.NewDocument(11, false);
    source.uuid = TestUuid();
  }

  // Saves `note` to `path` and answers the bytes.
  std::string save(NoteDocument& note, const std::string& path) {
    host.path = path;
    EXPECT_EQ(NoteWriter_save(note, path, false, host), NoteWriter_ok);
    return ReadFileBytes(path);
  }

  // Reads back what `source` was saved as, compares the structure, saves
  // the read note to the same path and compares the bytes.
  void roundTrip(const std::string& name) {
    const std::string path = dir.file(name);
    const std::string first = save(source, path);
    read(path);
    expectSameNote();
    const std::string second = save(doc, path);
    EXPECT_EQ(second.size(), first.size());
    EXPECT_TRUE(second == first) << "the second save differs";
  }

  static std::string svgText(const CadPrim& figure) {
    SvgWriteContext w;
    figure.WriteSvg(w);
    return w.out;
  }

  // The figures at `index` of the two lists are equal but for their
  // numbers (a read note numbers its figures anew).
  static bool sameFigure(const FigureList& read, size_t index, const FigureList& written) {
    std::unique_ptr<CadPrim> copy = read.at(index).Clone(&read);
    copy->SetNumber(written.at(index).GetNumber());
    // The working copy of a picture is the session's own.
    if (copy->GetKind() == FigureKind_Rect)
      static_cast<Rect_Ex&>(*copy).workImagePath =
          static_cast<const Rect_Ex&>(written.at(index)).workImagePath;
    return copy->Equals(written.at(index), 0);
  }

  void expectSameNote() {
    // Both laid out, as the writer lays a note out.
    NoteWriter_preparePages(doc, host);
    NoteWriter_preparePages(source, host);
    ASSERT_EQ(doc.pageCount(), source.pageCount());
    EXPECT_EQ(doc.firstPageNumber(), source.firstPageNumber());
    EXPECT_EQ(doc.checkTree(), "");
    EXPECT_TRUE(doc.uuid == source.uuid);
    EXPECT_EQ(doc.formatVersion, 300);
    EXPECT_EQ(doc.currentPageNumber(), 1);
    EXPECT_TRUE(doc.documentSettings() == source.documentSettings());
    for (size_t i = 0; i < doc.pageCount(); ++i) {
      const int32_t n = doc.pageNumberAt(i);
      SCOPED_TRACE("page " + std::to_string(n));
      const NotePage& a = doc.pageAt(i);
      const NotePage& b = source.pageAt(i);
      if (n != 0) {
        EXPECT_EQ(a.title(), b.title());
      }
      EXPECT_EQ(doc.parentNumber(n), source.parentNumber(n));
      EXPECT_EQ(doc.numberOf(a.nextSibling), source.numberOf(b.nextSibling));
      EXPECT_EQ(doc.numberOf(a.previousSibling), source.numberOf(b.previousSibling));
      EXPECT_EQ(doc.numberOf(a.firstChild), source.numberOf(b.firstChild));
      const Canvas& ca = a.settings();
      const Canvas& cb = b.settings();
      EXPECT_EQ(ca.width(), cb.width());
      EXPECT_EQ(ca.height(), cb.height());
      EXPECT_EQ(ca.className(), cb.className());
      EXPECT_EQ(ca.GetId(), cb.GetId());
      EXPECT_EQ(ca.pubPage(), cb.pubPage());
      EXPECT_EQ(ca.saveImageFile(), cb.saveImageFile());
      EXPECT_EQ(a.figureCount(), b.figureCount());
      for (size_t f = 1; f < a.figures.size() && f < b.figures.size(); ++f) {
        EXPECT_TRUE(sameFigure(a.figures, f, b.figures))
            << "figure " << f << "\n"
            << svgText(a.figures.at(f)) << svgText(b.figures.at(f));
      }
      for (const int32_t layer : {InkLayer_back, InkLayer_front}) {
        EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(n, layer)),
                  ReadFileBytes(source.inkLayerPath(n, layer)))
            << "layer " << layer;
      }
    }
  }

  // Every figure kind the writer writes, on two pages, with ids, links and
  // a line hanging on a rotated framed text box.
  void buildEveryKindNote() {
    FigureList& list = source.workingFigures();
    int32_t number = 100;
    auto add = [&](std::unique_ptr<CadPrim> f) -> CadPrim& {
      f->SetNumber(number++);
      return list.append(std::move(f));
    };
    auto shape = [&](int32_t kind, int32_t x, int32_t y, int32_t w, int32_t h) -> Rect_Ex& {
      auto r = TestRect(0, x, y, w, h);
      r->shape = kind;
      r->strokeWidth = 2;
      r->strokeColour = 0x102030;
      r->fillColour = 0x405060;
      return static_cast<Rect_Ex&>(add(std::move(r)));
    };
    Rect_Ex& plain = shape(RectShape_Rectangle, 10, 10, 40, 30);
    plain.id = "r1";
    plain.url = "http://example.com/a?b=c&d=e";
    plain.target = "_blank";
    shape(RectShape_RoundRect, 60, 10, 40, 30).angle = 30;
    shape(RectShape_Ellipse, 110, 10, 41, 31).opacity = 57;
    shape(RectShape_Ellipse, 160, 10, 31, 31);
    shape(RectShape_Diamond, 200, 10, 40, 30);
    shape(RectShape_Parallelogram, 250, 10, 40, 32);
    // "#" and script links are written without a target (the figures keep
    // their "_blank").
    Rect_Ex& hashLinked = shape(RectShape_Rectangle, 10, 60, 20, 20);
    hashLinked.url = "#second";
    hashLinked.pub = "web";
    Rect_Ex& scripted = shape(RectShape_Rectangle, 40, 60, 20, 20);
    scripted.url = "script:alert('x')";
    const std::string picturePath = dir.file("pic.png");
    WriteFileBytes(picturePath, "not decoded");
    Rect_Ex& picture = shape(RectShape_Image, 70, 60, 20, 20);
    picture.imagePath = picturePath;
    picture.embedImage = false;
    picture.takeNaturalSize = false;
    picture.strokeWidth = 1;  // a picture is written without a border

    auto line = std::make_unique<Line_Ex>();
    line->SetPoints({10, 120}, {200, 170});
    line->SetWidth(3);
    line->SetColour(0x0080FF);
    line->SetArrow(1, 1);
    line->SetArrow(2, 5);
    line->SetDashed(true);
    add(std::move(line));

    auto brace = std::make_unique<Matome>();
    brace->SetPoints({220, 120}, {320, 140});
    brace->SetWidth(2);
    brace->SetColour(0x123456);
    add(std::move(brace));

    auto corner = std::make_unique<Line_Corner>();
    corner->setEnd(1, 20, 300);
    corner->setEnd(2, 200, 380);
    corner->setThrough(110, 340);
    corner->setAutoCentre(false);
    corner->setWidth(2);
    corner->setColour(0x00A000);
    add(std::move(corner));

    auto text = [&](int32_t frame, const char* content, int32_t x, int32_t y) -> Text_Box& {
      auto b = std::make_unique<Text_Box>(&metrics);
      b->SetText(content);
      b->placeholder = false;
      b->SetBasePoint(x, y);
      b->SetFrameShape(frame);
      return static_cast<Text_Box&>(add(std::move(b)));
    };
    Text_Box& frameless = text(TextBoxFrame_None, "a & b\r\n<c>\r\n\r\n'd' \"e\"", 350, 30);
    frameless.className = "note";
    frameless.AssignUrl("http://example.com/");
    Text_Box& rotated = text(TextBoxFrame_Rectangle, "rotated", 300, 250);
    rotated.angle = 30;
    rotated.SetId("box1");
    rotated.frameWidth = 2;
    rotated.frameColour = 0x0000FF;
    rotated.fillColour = 0x00FF00;
    rotated.widthExtra = 1;
    Text_Box& upright = text(TextBoxFrame_Ellipse, Sjis(u8"縦書き").c_str(), 450, 250);
    upright.vertical = true;
    upright.widthExtra = 1;
    upright.SetId("box2");
    // A box of one line is written without its spacing: the reader gives it
    // one and a half times the font size.
    rotated.lineSpacing = upright.lineSpacing = 18;
    for (size_t f = 1; f < list.size(); ++f)
      if (list.at(f).GetKind() == FigureKind_Text)
        static_cast<Text_Box&>(list.at(f)).Layout(metrics, DrawContext{});

    // The ends of a line that hangs on boxes are written where they meet the
    // frames: start it there.
    auto hanging = std::make_unique<Line_Ex>();
    hanging->SetPoints({306, 257}, {420, 400});
    Line_Ex& h = static_cast<Line_Ex&>(add(std::move(hanging)));
    rotated.AttachEnd(0, h, 1);
    upright.AttachEnd(0, h, 2);

    source.AddPage(AddPage_next);
    source.currentPage()->setTitle("second page");
    source.workingSettings().SetId("second");
    source.workingFigures().append(TestRect(number++, 5, 5, 10, 10));
    source.SelectPage(1);
  }

  TempDir sourceWork;
  NoteDocument source{sourceWork.path()};
  RecordingSaveHost host;
};

TEST_F(NoteReaderRoundTripTest, SinglePageNote) {
  source.workingSettings().setSize(612, 345);
  source.workingFigures().append(TestRect(1, 10, 20, 30, 40));
  roundTrip("one.svg");
  EXPECT_EQ(doc.page(1)->settings().width(), 612);
}

TEST_F(NoteReaderRoundTripTest, SinglePageWithClassPubAndImagePath) {
  Canvas& c = source.workingSettings();
  c.setClassName("slide");
  c.setPubPage("web");
  c.setSaveImageFile(dir.file("img/one.png"));
  NoteDocumentSettings s = source.documentSettings();
  s.canvasType = CanvasType_WhiteBoard;
  s.pubFile = "web,intra";
  source.setDocumentSettings(s);
  roundTrip("one.svg");
}

TEST_F(NoteReaderRoundTripTest, WholeNoteWithBackPageTreeTitlesSettingsAndInk) {
  // Page 1 with a child page 2 and a next page 3, a back page, titles with
  // the characters the format escapes and Japanese ones.
  source.workingSettings().setSize(400, 200);
  source.workingSettings().setClassName("first");
  source.workingSettings().SetId("intro");
  source.workingSettings().setPubPage("web,intra");
  source.workingSettings().setSaveImageFile(dir.file("img/p1.png"));
  source.pageAt(0).setTitle("A & B < C > \"q\" 'a'");
  source.workingFigures().append(TestRect(1, 10, 20, 30, 40));
  source.AddPage(AddPage_child);
  source.workingSettings().setSize(300, 150);
  source.currentPage()->setTitle(Sjis(u8"日本語のページ"));
  source.workingFigures().append(TestRect(2, 1, 2, 3, 4));
  source.workingFigures().append(TestRect(3, 5, 6, 7, 8));
  source.SelectPage(1);
  source.AddPage(AddPage_next);
  source.currentPage()->setTitle("three");
  source.workingSettings().setPubPage("intra");
  source.SelectPage(1);
  source.ToggleBackPage(false);
  source.workingSettings().setSize(400, 100);
  source.workingFigures().append(TestRect(4, 0, 0, 400, 100));
  NoteDocumentSettings s = source.documentSettings();
  s.canvasType = CanvasType_Menu;
  s.pageInterval = 1500;
  s.pubFile = "web";
  source.setDocumentSettings(s);
  source.SelectPage(1);

  const std::string raw1(73, 'Q'), raw2 = "UVdFUlRZ";
  WriteFileBytes(source.inkLayerPath(1, InkLayer_front), FrontLayer(raw1, raw2));
  WriteFileBytes(source.inkLayerPath(1, InkLayer_back), BackLayer());
  WriteFileBytes(source.inkLayerPath(0, InkLayer_front), FrontLayer("QkFDSw==", "Cg=="));
  WriteFileBytes(source.inkLayerPath(3, InkLayer_back), BackLayer());

  roundTrip("whole.svg");
  // Japanese titles: the file is UTF-16.
  EXPECT_EQ(ReadFileBytes(dir.file("whole.svg")).substr(0, 2), "\xFF\xFE");
  ASSERT_TRUE(doc.hasBackPage());
  EXPECT_EQ(doc.page(1)->inkData, raw1 + raw2);
  EXPECT_EQ(doc.page(0)->inkData, "QkFDSw==Cg==");
  EXPECT_EQ(doc.page(2)->inkData, "");
  EXPECT_EQ(doc.page(1)->title(), "A & B < C > \"q\" 'a'");
  EXPECT_EQ(doc.page(2)->title(), Sjis(u8"日本語のページ"));
  EXPECT_EQ(doc.parentNumber(2), 1);
  EXPECT_EQ(doc.page(1)->settings().GetId(), "intro");
  EXPECT_EQ(doc.documentSettings().pageInterval, 1500);
  EXPECT_EQ(doc.documentSettings().canvasType, CanvasType_Menu);
}

TEST_F(NoteReaderRoundTripTest, SvgzNote) {
  source.workingFigures().append(TestRect(1, 10, 20, 30, 40));
  source.AddPage(AddPage_next);
  source.currentPage()->setTitle(Sjis(u8"二"));
  WriteFileBytes(source.inkLayerPath(2, InkLayer_front), FrontLayer("AAAA", "BBBB"));
  roundTrip("packed.svgz");
  EXPECT_EQ(ReadFileBytes(dir.file("packed.svgz")).substr(0, 2), "\x1F\x8B");
  EXPECT_EQ(doc.page(2)->inkData, "AAAABBBB");
}

TEST_F(NoteReaderRoundTripTest, PageTreeOfThreeLevels) {
  source.pageAt(0).setTitle("1");
  source.AddPage(AddPage_child);  // 2 under 1
  source.currentPage()->setTitle("2");
  source.AddPage(AddPage_child);  // 3 under 2
  source.currentPage()->setTitle("3");
  source.AddPage(AddPage_next);  // 4 under 2
  source.currentPage()->setTitle("4");
  source.SelectPage(1);
  source.AddPage(AddPage_next);  // 5 top level
  source.currentPage()->setTitle("5");
  source.AddPage(AddPage_child);  // 6 under 5
  source.currentPage()->setTitle("6");
  ASSERT_EQ(source.checkTree(), "");
  roundTrip("tree.svg");
  EXPECT_EQ(doc.parentNumber(3), 2);
  EXPECT_EQ(doc.parentNumber(4), 2);
  EXPECT_EQ(doc.parentNumber(6), 5);
}

TEST_F(NoteReaderRoundTripTest, FigureIdsThatLookLikePagesStayFigures) {
  auto r = TestRect(1, 1, 2, 3, 4);
  r->id = "page2";
  r->pub = "web";  // a wrapper group carries the id
  source.workingFigures().append(std::move(r));
  auto s = TestRect(2, 5, 6, 7, 8);
  s->id = "backpage";
  source.workingFigures().append(std::move(s));
  roundTrip("ids.svg");
  ASSERT_EQ(doc.pageCount(), 1u);
  ASSERT_EQ(doc.page(1)->figureCount(), 2u);
  EXPECT_EQ(doc.page(1)->figures.at(1).GetId(), "page2");
}

TEST_F(NoteReaderRoundTripTest, FiguresWithTheIdOfInkGroupsStayFigures) {
  // On a page of two, where ink groups stand: a framed text box whose
  // wrapper would carry nothing but the id, and a rectangle with a pub list.
  auto box = std::make_unique<Text_Box>(&metrics);
  box->SetNumber(1);
  box->placeholder = false;
  box->SetBasePoint(40, 40);
  box->SetText("inked");
  box->SetFrameShape(TextBoxFrame_Rectangle);
  box->SetId("zerbin-ink");
  box->Layout(metrics, DrawContext{});
  source.workingFigures().append(std::move(box));
  auto r = TestRect(2, 1, 2, 3, 4);
  r->id = "zerbin-ink";
  r->pub = "web";
  source.workingFigures().append(std::move(r));
  WriteFileBytes(source.inkLayerPath(1, 13), "\t<g id=\"zerbin-ink\" type=\"front\">\r\n\t</g>\r\n");
  source.AddPage(AddPage_next);
  source.SelectPage(1);
  const std::string path = dir.file("ink-ids.svg");
  const std::string first = save(source, path);
  EXPECT_NE(first.find("<g id=\"zerbin-ink\" zerbin-figure=\"1\">"), std::string::npos);
  read(path);
  ASSERT_EQ(doc.pageCount(), 2u);
  ASSERT_EQ(doc.page(1)->figureCount(), 2u);
  EXPECT_EQ(doc.page(1)->figures.at(1).GetKind(), FigureKind_Text);
  EXPECT_EQ(doc.page(1)->figures.at(1).GetId(), "zerbin-ink");
  EXPECT_EQ(doc.page(1)->figures.at(2).GetKind(), FigureKind_Rect);
  EXPECT_EQ(doc.page(1)->figures.at(2).GetId(), "zerbin-ink");
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(1, 13)),
            "\t<g id=\"zerbin-ink\" type=\"front\">\r\n\t</g>\r\n");
}

TEST_F(NoteReaderRoundTripTest, EveryFigureKind) {
  buildEveryKindNote();
  roundTrip("kinds.svg");

  // The line hangs on the two boxes again (by their ids).
  const FigureList& back = doc.page(1)->figures;
  ASSERT_EQ(back.size(), source.page(1)->figures.size());
  const CadPrim& readLine = back.at(back.size() - 1);
  ASSERT_EQ(readLine.GetKind(), FigureKind_Line);
  ASSERT_NE(readLine.GetEndTarget(1), nullptr);
  ASSERT_NE(readLine.GetEndTarget(2), nullptr);
  EXPECT_EQ(readLine.GetEndTarget(1)->GetId(), "box1");
  EXPECT_EQ(readLine.GetEndTarget(2)->GetId(), "box2");
  // Links of every form.
  EXPECT_EQ(back.at(1).GetUrl(), "http://example.com/a?b=c&d=e");
  EXPECT_EQ(back.at(7).GetUrl(), "#second");
  EXPECT_EQ(back.at(8).GetUrl(), "script:alert('x')");
}

// A written note cut short or damaged anywhere is read without a crash,
// and the note stays usable.
TEST_F(NoteReaderRoundTripTest, CutAndDamagedNotesNeverCrash) {
  buildEveryKindNote();
  WriteFileBytes(source.inkLayerPath(1, InkLayer_front), FrontLayer("AAAA", "BBBB"));
  const std::string path = dir.file("kinds.svg");
  const std::string bytes = save(source, path);
  const std::string text = NoteReader_documentText(path);
  ASSERT_GT(text.size(), 1000u);
  const std::string damaged = dir.file("damaged.svg");
  auto check = [&](const std::string& what) {
    (void)readError(damaged);
    ASSERT_NE(doc.currentPage(), nullptr) << what;
    EXPECT_EQ(doc.checkTree(), "") << what;
    for (size_t i = 0; i < doc.pageCount(); ++i)
      EXPECT_TRUE(FileX_isFile(doc.inkLayerPath(doc.pageNumberAt(i), InkLayer_front))) << what;
  };
  for (size_t cut = 0; cut < text.size(); cut += 61) {
    WriteFileBytes(damaged, text.substr(0, cut));
    check("cut at " + std::to_string(cut));
  }
  const char marks[] = {'<', '>', '"', '/', '=', '&', '\x81', ' '};
  for (size_t at = 7, k = 0; at < text.size(); at += 83, ++k) {
    std::string t = text;
    t[at] = marks[k % sizeof marks];
    WriteFileBytes(damaged, t);
    check("byte " + std::to_string(at));
  }
  // The wide form cut at an odd length.
  WriteFileBytes(damaged, bytes.substr(0, bytes.size() / 2 | 1));
  check("wide, odd length");
}

}  // namespace

namespace {

// The characters markup gives a meaning to, in every name.
constexpr const char* kMarkup = "& < > \" '";

// xmllint's verdict on a file: 0 when it is well-formed.
int Xmllint(const std::string& path) {
  return std::system(("xmllint --noout --nonet '" + path + "' 2>/dev/null").c_str());
}

// A note whose every written name holds the characters of markup: a
// quote in an id once ended the attribute and lost the whole note.
TEST_F(NoteReaderRoundTripTest, NamesWithMarkupCharactersRoundTrip) {
  const std::string m = kMarkup;
  FigureList& list = source.workingFigures();
  auto rect = TestRect(1, 10, 10, 40, 30);
  rect->id = "r" + m;
  rect->pub = "web," + m;  // a wrapper group carries id and pub
  list.append(std::move(rect));
  auto linked = TestRect(2, 60, 10, 40, 30);
  linked->id = "l" + m;
  linked->url = "http://example.com/?a=1&b=" + m;
  linked->target = "frame" + m;
  list.append(std::move(linked));
  // A link element without a target reads back without one.
  auto untargeted = TestRect(3, 110, 10, 40, 30);
  untargeted->url = "http://example.com/";
  untargeted->target = "";
  list.append(std::move(untargeted));

  auto text = [&](int32_t frame, int32_t x, int32_t y) -> Text_Box& {
    auto b = std::make_unique<Text_Box>(&metrics);
    b->SetText("t");
    b->placeholder = false;
    b->SetBasePoint(x, y);
    b->SetFrameShape(frame);
    b->className = "keyword," + m;
    b->SetProperty(5, "intra," + m, {});
    b->condition = TextCondition_parse("v=1 " + m);
    b->filterText = "v=1;" + m;
    // As the reader gives them: a frame as wide as its shape, and for a
    // box of one line one and a half times the font size between lines.
    if (frame != TextBoxFrame_None) b->widthExtra = 1;
    b->lineSpacing = 18;
    return static_cast<Text_Box&>(list.append(std::move(b)));
  };
  Text_Box& framed = text(TextBoxFrame_Rectangle, 40, 120);  // names on the wrapper
  framed.SetId("f" + m);
  Text_Box& bare = text(TextBoxFrame_None, 200, 120);  // names on the text element
  bare.SetId("b" + m);
  bare.AssignUrl("http://example.com/x");
  bare.SetTarget("t" + m);
  for (size_t f = 1; f < list.size(); ++f)
    if (list.at(f).GetKind() == FigureKind_Text)
      static_cast<Text_Box&>(list.at(f)).Layout(metrics, DrawContext{});
  // A line hanging on the framed box names it by its id.
  auto line = std::make_unique<Line_Ex>();
  line->SetPoints({300, 200}, {400, 250});
  Line_Ex& l = static_cast<Line_Ex&>(list.append(std::move(line)));
  framed.AttachEnd(0, l, 1);
  source.pageAt(0).setTitle("one " + m);
  source.AddPage(AddPage_next);
  source.currentPage()->setTitle("two " + m);
  source.workingFigures().append(TestRect(9, 5, 5, 10, 10));
  source.SelectPage(1);

  const std::string path = dir.file("names.svg");
  const std::string first = save(source, path);
  EXPECT_EQ(Xmllint(path), 0) << first;
  EXPECT_EQ(first.substr(0, 38), "<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  read(path);
  expectSameNote();
  const std::string second = save(doc, path);
  EXPECT_TRUE(second == first) << "the second save differs";
  EXPECT_EQ(Xmllint(path), 0);

  ASSERT_EQ(doc.pageCount(), 2u);
  const FigureList& back = doc.page(1)->figures;
  ASSERT_EQ(back.size(), list.size());
  EXPECT_EQ(back.at(1).GetId(), "r" + m);
  EXPECT_EQ(back.at(1).GetPub(), "web," + m);
  EXPECT_EQ(back.at(2).GetTarget(), "frame" + m);
  EXPECT_EQ(back.at(3).GetTarget(), "");
  const auto& readFramed = static_cast<const Text_Box&>(back.at(4));
  EXPECT_EQ(readFramed.GetId(), "f" + m);
  EXPECT_EQ(readFramed.className, "keyword," + m);
  EXPECT_EQ(readFramed.GetPub(), "intra," + m);
  EXPECT_EQ(readFramed.condition.text, "v=1 " + m);
  EXPECT_EQ(readFramed.filterText, "v=1;" + m);
  EXPECT_EQ(back.at(5).GetTarget(), "t" + m);
  ASSERT_NE(back.at(6).GetEndTarget(1), nullptr);
  EXPECT_EQ(back.at(6).GetEndTarget(1)->GetId(), "f" + m);
}

// Every byte from 0x80 up that a save writes goes into the wide form: a
// file declared "utf-8" never holds code page 932 bytes.
TEST_F(NoteReaderRoundTripTest, DoubleByteNamesTakeTheWideForm) {
  auto r = TestRect(1, 10, 10, 40, 30);
  r->id = Sjis(u8"図形");
  r->url = "http://example.com/";
  r->target = Sjis(u8"枠");
  source.workingFigures().append(std::move(r));
  auto b = std::make_unique<Text_Box>(&metrics);
  b->SetText("ascii");
  b->placeholder = false;
  b->SetBasePoint(50, 100);
  b->SetFrameShape(TextBoxFrame_None);
  b->lineSpacing = 18;
  b->className = Sjis(u8"分類");
  b->fontFace = Sjis(u8"游ゴシック");
  source.workingFigures().append(std::move(b));
  ASSERT_FALSE(NoteWriter_needsUtf16(source));
  roundTrip("names.svg");
  const std::string bytes = ReadFileBytes(dir.file("names.svg"));
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::string text = NoteReader_documentText(dir.file("names.svg"));
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-16\"?>", 0), 0u);
  EXPECT_EQ(Xmllint(dir.file("names.svg")), 0);
  EXPECT_EQ(doc.page(1)->figures.at(1).GetId(), Sjis(u8"図形"));
  EXPECT_EQ(static_cast<const Text_Box&>(doc.page(1)->figures.at(2)).fontFace,
            Sjis(u8"游ゴシック"));
  // The document text the exports take says the same.
  bool wide = false;
  const std::string again = NoteWriter_documentText(doc, dir.file("names.svg"), host, wide);
  EXPECT_TRUE(wide);
  EXPECT_EQ(again.rfind("<?xml version=\"1.0\" encoding=\"utf-16\"?>", 0), 0u);
}

// The page script of a note of several pages stands in a CDATA section; a
// double quote in it once hid the rest of the file from the reader.
TEST_F(NoteReaderRoundTripTest, ScriptWithAnOddQuoteInItsCdata) {
  const std::string script = dir.file("svg-script.txt");
  WriteFileBytes(script, "function chgPage(evt, n) { var q = '\"'; if (n < 2 && n > 0) {} }\n");
  host.script = script;
  source.pageAt(0).setTitle("one");
  source.workingFigures().append(TestRect(1, 10, 10, 40, 30));
  source.AddPage(AddPage_next);
  source.currentPage()->setTitle("two");
  source.workingFigures().append(TestRect(2, 20, 20, 40, 30));
  source.SelectPage(1);
  roundTrip("script.svg");
  ASSERT_EQ(doc.pageCount(), 2u);
  EXPECT_EQ(doc.page(1)->figureCount(), 1u);
  EXPECT_EQ(doc.page(2)->figureCount(), 1u);
  EXPECT_NE(ReadFileBytes(dir.file("script.svg")).find("var q = '\"';"), std::string::npos);
}

// A title longer than a page holds refuses the load in the BufOver form.
TEST_F(NoteReaderRoundTripTest, OverlongTitleRefusesTheLoad) {
  const std::string title(256, 't');
  const std::string path =
      note("long.svg", WrittenNote(PageGroup("page1", 100, 100, TestRectText(1, 2, 3, 4)) +
                                   "<zerbin-pages>\n\t<zerbin-page num=\"1\" title=\"" + title +
                                   "\"/>\n</zerbin-pages>\n"));
  const Errors_Msg e = readError(path);
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_EQ(std::string(e.message()).rfind("BufOver ERROR in (", 0), 0u) << e.message();
  EXPECT_NE(std::string(e.message()).find(path), std::string::npos);
  // Exactly 255 bytes (escaped in the file) load whole.
  const std::string fits(255, '&');
  std::string escaped;
  for (size_t i = 0; i < fits.size(); ++i) escaped += "&amp;";
  read(note("fits.svg", WrittenNote(PageGroup("page1", 100, 100, TestRectText(1, 2, 3, 4)) +
                                    "<zerbin-pages>\n\t<zerbin-page num=\"1\" title=\"" + escaped +
                                    "\"/>\n</zerbin-pages>\n")));
  EXPECT_EQ(doc.page(1)->title(), fits);
}

// A rectangle whose link has no target is written without one and reads
// back without one; script and "#" links, written without a link element
// that could carry one, keep the figure's own.
TEST_F(NoteReaderRoundTripTest, RectangleLinkWithoutTargetReadsBackWithout) {
  auto r = TestRect(1, 10, 10, 40, 30);
  r->url = "http://example.com/";
  r->target = "";
  source.workingFigures().append(std::move(r));
  auto s = TestRect(2, 60, 10, 40, 30);
  s->url = "script:go()";
  source.workingFigures().append(std::move(s));
  roundTrip("untargeted.svg");
  EXPECT_EQ(ReadFileBytes(dir.file("untargeted.svg")).find("target="), std::string::npos);
  EXPECT_EQ(doc.page(1)->figures.at(1).GetTarget(), "");
  EXPECT_EQ(doc.page(1)->figures.at(2).GetTarget(), "_blank");
}

}  // namespace
