// The document structure the note reader builds: pages, the back page, the
// page tree and titles, the root's settings, encodings, ink, and its errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

#include "core/errors/errors.h"
#include "core/filex/filex.h"
#include "core/strx/strx_path.h"
#include "document/reader/reader_values.h"
#include "document/writer/note_bytes.h"
#include "figures/canvas/canvas.h"
#include "note_reader_fixture.h"

using namespace testing_support;
using namespace note_reader_test;

namespace {

const char* kRect =
    "\t<rect x=\"1.5\" y=\"2.5\" width=\"3\" height=\"4\"\r\n"
    "\t\tstyle=\"fill:rgb(204,204,255);stroke:rgb(0,0,0);stroke-width:1\"/>\r\n";

class NoteReaderStructureTest : public NoteReaderFixture {};

// --- pages --------------------------------------------------------------------

TEST_F(NoteReaderStructureTest, EmptyFileIsOneEmptyPageOfVersion300) {
  read(note("empty.svg", ""));
  ASSERT_EQ(doc.pageCount(), 1u);
  EXPECT_EQ(doc.pageAt(0).figureCount(), 0u);
  EXPECT_EQ(doc.formatVersion, 300);
  EXPECT_EQ(doc.currentPageNumber(), 1);
  EXPECT_FALSE(doc.hasBackPage());
  EXPECT_EQ(doc.documentNumber(), documentNumber);
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(1, InkLayer_back)), "");
  EXPECT_TRUE(FileX_isFile(doc.inkLayerPath(1, InkLayer_front)));
}

TEST_F(NoteReaderStructureTest, MissingFileRaises363WithAnEmptyMessage) {
  const Errors_Msg e = readError(dir.file("nothing.svg"));
  EXPECT_EQ(e.code, FileX_Err_CannotReadOpen);
  EXPECT_STREQ(e.message(), "");
}

TEST_F(NoteReaderStructureTest, PageGroupsPage1Page7Page3GiveThreePagesInFileOrder) {
  read(note("n.svg", WrittenNote(PageGroup("page1", 100, 10, "") + PageGroup("page7", 200, 20, "") +
                                 PageGroup("page3", 300, 30, ""))));
  ASSERT_EQ(doc.pageCount(), 3u);
  EXPECT_FALSE(doc.hasBackPage());
  EXPECT_EQ(settings(1).width(), 100);
  EXPECT_EQ(settings(2).width(), 200);
  EXPECT_EQ(settings(3).width(), 300);
  EXPECT_EQ(settings(3).height(), 30);
  EXPECT_EQ(doc.currentPageNumber(), 1);
  EXPECT_EQ(doc.checkTree(), "");
}

TEST_F(NoteReaderStructureTest, FiguresBeforeTheFirstPageGroupMakeABackPage) {
  read(note("n.svg", WrittenNote(std::string(kRect) + PageGroup("page1", 200, 100, kRect) +
                                 PageGroup("page2", 200, 100, std::string(kRect) + kRect))));
  ASSERT_TRUE(doc.hasBackPage());
  ASSERT_EQ(doc.pageCount(), 3u);
  EXPECT_EQ(doc.page(0)->figureCount(), 1u);
  EXPECT_EQ(doc.page(1)->figureCount(), 1u);
  EXPECT_EQ(doc.page(2)->figureCount(), 2u);
  EXPECT_EQ(doc.page(0)->title(), "Background");
  EXPECT_EQ(doc.currentPageNumber(), 1);
  EXPECT_EQ(doc.checkTree(), "");
}

TEST_F(NoteReaderStructureTest, BackPageGroupMakesABackPageEvenWhenEmpty) {
  japanese = true;
  read(note("n.svg", WrittenNote(PageGroup("backpage", 300, 40, "", " zerbin_page_class=\"bg\"") +
                                 PageGroup("page1", 200, 100, kRect))));
  ASSERT_TRUE(doc.hasBackPage());
  ASSERT_EQ(doc.pageCount(), 2u);
  EXPECT_EQ(doc.page(0)->figureCount(), 0u);
  EXPECT_EQ(doc.page(1)->figureCount(), 1u);
  EXPECT_EQ(settings(0).width(), 300);
  EXPECT_EQ(settings(0).height(), 40);
  EXPECT_EQ(settings(0).className(), "bg");
  EXPECT_EQ(settings(1).className(), "");
  EXPECT_EQ(settings(1).width(), 200);
  EXPECT_EQ(doc.page(0)->title(), "背景");
}

TEST_F(NoteReaderStructureTest, ABackPageGroupBehindThePagesStillGoesToTheBackPage) {
  read(note("n.svg", WrittenNote(PageGroup("page1", 200, 100, kRect) +
                                 PageGroup("backpage", 300, 40, std::string(kRect) + kRect) +
                                 PageGroup("page2", 250, 100, ""))));
  ASSERT_TRUE(doc.hasBackPage());
  ASSERT_EQ(doc.pageCount(), 3u);
  EXPECT_EQ(doc.page(0)->figureCount(), 2u);
  EXPECT_EQ(doc.page(1)->figureCount(), 1u);
  EXPECT_EQ(settings(2).width(), 250);
  EXPECT_EQ(doc.checkTree(), "");
}

TEST_F(NoteReaderStructureTest, TheFirstPageGroupIsPageOneWhateverItsNumber) {
  // A second "page1" is just another page; a file starting at "page2" has
  // no empty page in front.
  read(note("n.svg",
            WrittenNote(PageGroup("page2", 210, 10, kRect) + PageGroup("page1", 220, 10, kRect) +
                        PageGroup("page1", 230, 10, ""))));
  ASSERT_FALSE(doc.hasBackPage());
  ASSERT_EQ(doc.pageCount(), 3u);
  EXPECT_EQ(settings(1).width(), 210);
  EXPECT_EQ(settings(2).width(), 220);
  EXPECT_EQ(settings(3).width(), 230);
  EXPECT_EQ(doc.page(1)->figureCount(), 1u);
}

TEST_F(NoteReaderStructureTest, PageGroupWithoutASizeKeepsThePreviousPagesSize) {
  read(note("n.svg",
            WrittenNote("<g id=\"page1\" width=\"333\">\r\n</g>\r\n"
                        "<g id=\"page2\">\r\n</g>\r\n<g id=\"page3\" height=\"77\">\r\n</g>\r\n")));
  ASSERT_EQ(doc.pageCount(), 3u);
  EXPECT_EQ(settings(1).width(), 333);
  EXPECT_EQ(settings(1).height(), 300);  // the root's 320 less the margin
  EXPECT_EQ(settings(2).width(), 333);
  EXPECT_EQ(settings(2).height(), 300);
  EXPECT_EQ(settings(3).width(), 333);
  EXPECT_EQ(settings(3).height(), 77);
}

TEST_F(NoteReaderStructureTest, PageGroupSettingsAreStored) {
  read(note("n.svg",
            WrittenNote(PageGroup("page1", 200, 100, "",
                                  " id2=\"intro\" corr-image=\"img/p1.png\" zerbin_page_class=\"k\""
                                  " zerbin-pub=\"web,intra\"") +
                        PageGroup("page2", 200, 100, ""))));
  EXPECT_EQ(settings(1).GetId(), "intro");
  EXPECT_EQ(settings(1).saveImageFile(), dir.file("img/p1.png"));
  EXPECT_EQ(settings(1).className(), "k");
  EXPECT_EQ(settings(1).pubPage(), "web,intra");
  // The next page takes none of them.
  EXPECT_EQ(settings(2).GetId(), "");
  EXPECT_EQ(settings(2).saveImageFile(), "");
  EXPECT_EQ(settings(2).className(), "");
  EXPECT_EQ(settings(2).pubPage(), "");
  EXPECT_EQ(doc.FindPageByName("INTRO"), 1);
}

// --- the page-title list -----------------------------------------------------

TEST_F(NoteReaderStructureTest, NoTitleListGivesAFlatTree) {
  read(note("n.svg", WrittenNote(PageGroup("page1", 100, 10, "") + PageGroup("page2", 100, 10, "") +
                                 PageGroup("page3", 100, 10, ""))));
  ASSERT_EQ(doc.pageCount(), 3u);
  for (int32_t n = 1; n <= 3; ++n) {
    EXPECT_EQ(doc.parentNumber(n), -1) << n;
    EXPECT_EQ(doc.page(n)->firstChild, nullptr) << n;
  }
  EXPECT_EQ(doc.page(1)->nextSibling, doc.page(2));
  EXPECT_EQ(doc.page(2)->nextSibling, doc.page(3));
  EXPECT_EQ(doc.page(3)->previousSibling, doc.page(2));
  EXPECT_EQ(doc.page(3)->nextSibling, nullptr);
  EXPECT_EQ(doc.page(1)->title(), "New Page");
  EXPECT_EQ(doc.page(2)->title(), "Page");
  EXPECT_EQ(doc.page(3)->title(), "Page");
}

TEST_F(NoteReaderStructureTest, TitleListBuildsTheTree) {
  const std::string list =
      "<zerbin-pages>\r\n"
      "\t<zerbin-page num=\"1\" title=\"one\">\r\n"
      "\t\t<zerbin-page num=\"2\" title=\"two\">\r\n"
      "\t\t\t<zerbin-page num=\"3\" title=\"three\"/>\r\n"
      "\t\t</zerbin-page>\r\n"
      "\t\t<zerbin-page num=\"4\" title=\"\"/>\r\n"
      "\t</zerbin-page>\r\n"
      "\t<page num=\"5\" title=\"five\"/>\r\n"
      "</zerbin-pages>\r\n";
  std::string pages;
  for (int n = 1; n <= 6; ++n) pages += PageGroup("page" + std::to_string(n), 100, 10, "");
  read(note("n.svg", WrittenNote(pages + list)));
  ASSERT_EQ(doc.pageCount(), 6u);
  EXPECT_EQ(doc.checkTree(), "");
  EXPECT_EQ(doc.parentNumber(1), -1);
  EXPECT_EQ(doc.parentNumber(2), 1);
  EXPECT_EQ(doc.parentNumber(3), 2);
  EXPECT_EQ(doc.parentNumber(4), 1);
  EXPECT_EQ(doc.parentNumber(5), -1);
  // Page 6 is not listed: it follows the last page listed.
  EXPECT_EQ(doc.parentNumber(6), -1);
  EXPECT_EQ(doc.page(5)->nextSibling, doc.page(6));
  EXPECT_EQ(doc.page(2)->nextSibling, doc.page(4));
  EXPECT_EQ(doc.page(1)->nextSibling, doc.page(5));
  EXPECT_EQ(doc.page(1)->title(), "one");
  EXPECT_EQ(doc.page(3)->title(), "three");
  EXPECT_EQ(doc.page(4)->title(), "Page");
  EXPECT_EQ(doc.page(5)->title(), "five");
  EXPECT_EQ(doc.page(6)->title(), "Page");
}

TEST_F(NoteReaderStructureTest, TitleListOutOfPageOrderGivesAFlatTree) {
  const std::string list =
      "<zerbin-pages>\r\n"
      "\t<zerbin-page num=\"2\" title=\"two\">\r\n"
      "\t\t<zerbin-page num=\"1\" title=\"one\"/>\r\n"
      "\t</zerbin-page>\r\n"
      "\t<zerbin-page num=\"3\" title=\"three\"/>\r\n"
      "\t<zerbin-page num=\"3\" title=\"again\"/>\r\n"
      "</zerbin-pages>\r\n";
  read(note("n.svg", WrittenNote(PageGroup("page1", 100, 10, "") + PageGroup("page2", 100, 10, "") +
                                 PageGroup("page3", 100, 10, "") + list)));
  EXPECT_EQ(doc.checkTree(), "");
  for (int32_t n = 1; n <= 3; ++n) EXPECT_EQ(doc.parentNumber(n), -1) << n;
  EXPECT_EQ(doc.page(1)->title(), "one");
  EXPECT_EQ(doc.page(2)->title(), "two");
  EXPECT_EQ(doc.page(3)->title(), "again");
}

TEST_F(NoteReaderStructureTest, TitleOver255BytesRefusesTheLoad) {
  // 300 bytes, and 128 double-byte characters (256 bytes): no page holds
  // them, and the note is not loaded rather than losing a title's end.
  std::string wide;
  for (int i = 0; i < 128; ++i) wide += "\x82\xA0";
  for (const std::string& title : {std::string(300, 'a'), wide}) {
    const std::string text =
        WrittenNote(PageGroup("page1", 100, 10, "") + PageGroup("page2", 100, 10, "") +
                    "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"x\"/>\r\n"
                    "<zerbin-page num=\"2\" title=\"" +
                    title + "\"/>\r\n</zerbin-pages>\r\n");
    // The line of the element with the long title.
    const std::string before = text.substr(0, text.find("<zerbin-page num=\"2\""));
    const auto line = 1 + std::count(before.begin(), before.end(), '\n');
    const std::string path = note("n.svg", text);
    const Errors_Msg e = readError(path);
    EXPECT_EQ(e.code, CZerbinApp_Err_Format);
    EXPECT_EQ(std::string(e.message()), "BufOver ERROR in (" + std::to_string(line) + ") " + path);
  }
  // 127 double-byte characters fit.
  const std::string fits = wide.substr(0, 254);
  read(note("m.svg", WrittenNote(PageGroup("page1", 100, 10, "") +
                                 "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"" + fits +
                                 "\"/>\r\n</zerbin-pages>\r\n")));
  EXPECT_EQ(doc.page(1)->title(), fits);
}

TEST_F(NoteReaderStructureTest, TitleListNamingNoPageIsUnsupported) {
  const std::string path = note(
      "n.svg",
      WrittenNote("<zerbin-pages>\r\n<zerbin-page num=\"2\" title=\"x\"/>\r\n</zerbin-pages>\r\n"));
  Errors_Msg e = readError(path);
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_STREQ(e.message(),
               "File can not open, because there is the element not supported by Zerbin.");
  // The start tag of a page with children the same; and num 0 is no page.
  e = readError(note("m.svg", WrittenNote("<zerbin-pages>\r\n<zerbin-page num=\"0\">\r\n"
                                          "</zerbin-page>\r\n</zerbin-pages>\r\n")));
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
}

// --- the root ------------------------------------------------------------------

TEST_F(NoteReaderStructureTest, SinglePageNoteOfTheWriterKeepsItsPageSize) {
  read(note("n.svg", WrittenNote(kRect, 1020, 520)));
  EXPECT_EQ(settings(1).width(), 1000);
  EXPECT_EQ(settings(1).height(), 500);
  EXPECT_EQ(doc.formatVersion, 300);
}

TEST_F(NoteReaderStructureTest, ForeignRootGivesItsSizeOrTheDefault) {
  read(note("n.svg", PlainSvg("", " width=\"640\" height=\"480\"")));
  EXPECT_EQ(settings(1).width(), 640);
  EXPECT_EQ(settings(1).height(), 480);
  read(note("m.svg", PlainSvg("")));
  EXPECT_EQ(settings(1).width(), 500);
  EXPECT_EQ(settings(1).height(), 300);
}

TEST_F(NoteReaderStructureTest, VersionComesFromTheMark) {
  read(note("old.svg", PlainSvg(kRect, " width=\"300\" height=\"200\"")));
  EXPECT_EQ(doc.formatVersion, 200);
  EXPECT_EQ(settings(1).width(), 300);
  read(note("new.svg", PlainSvg("", " sub_doctype=\"zerbin-300\" width=\"300\" height=\"200\"")));
  EXPECT_EQ(doc.formatVersion, 300);
  EXPECT_EQ(settings(1).width(), 280);
  read(note("odd.svg", PlainSvg("", " sub_doctype=\"other-300\" width=\"300\"")));
  EXPECT_EQ(doc.formatVersion, 200);
  EXPECT_EQ(settings(1).width(), 300);
}

TEST_F(NoteReaderStructureTest, RootSettings) {
  read(note(
      "n.svg",
      "<svg sub_doctype=\"zerbin-300\" zerbin_canvas_type=\"desktop\" width=\"00620\" "
      "height=\"00330\" onload=\"svg_onload( evt, 2500 );\" zerbin-wnd=\"00120 -0040\""
      " uuid=\"{A1B2C3D4-0001-0002-0304-05060708090A}\" corr-image=\"out/page.png\""
      " zerbin_page_class=\"c1\" zerbin-pub=\"web\" zerbin-file-pub=\"web-2\">\r\n</svg>\r\n"));
  const NoteDocumentSettings s = doc.documentSettings();
  EXPECT_EQ(s.canvasType, CanvasType_Desktop);
  EXPECT_EQ(s.pageInterval, 2500);
  EXPECT_EQ(s.pubFile, "web-2");
  EXPECT_EQ(doc.windowX, 120);
  EXPECT_EQ(doc.windowY, -40);
  EXPECT_EQ(NoteDocument_uuidText(doc.uuid), "A1B2C3D4-0001-0002-0304-05060708090A");
  EXPECT_EQ(settings(1).width(), 600);
  EXPECT_EQ(settings(1).height(), 310);
  EXPECT_EQ(settings(1).saveImageFile(), dir.file("out/page.png"));
  EXPECT_EQ(settings(1).className(), "c1");
  EXPECT_EQ(settings(1).pubPage(), "web");
}

TEST_F(NoteReaderStructureTest, CanvasTypes) {
  const std::pair<const char*, int32_t> cases[] = {
      {"workspace", 1}, {"document", 2}, {"menu", 3}, {"desktop", 4}, {"poster", 2}};
  for (const auto& [name, type] : cases) {
    read(note("n.svg", PlainSvg("", std::string(" zerbin_canvas_type=\"") + name + "\"")));
    EXPECT_EQ(doc.documentSettings().canvasType, type) << name;
  }
  read(note("n.svg", PlainSvg("")));
  EXPECT_EQ(doc.documentSettings().canvasType, 2);
}

TEST_F(NoteReaderStructureTest, DocumentSettingsStayWithEveryPage) {
  read(note(
      "n.svg",
      "<svg sub_doctype=\"zerbin-300\" zerbin_canvas_type=\"menu\" width=\"220\" height=\"200\""
      " onload=\"svg_onload( evt, 700 );\" zerbin-file-pub=\"a,b\">\r\n" +
          PageGroup("page1", 100, 10, "") + PageGroup("page2", 100, 10, "") + "</svg>\r\n"));
  for (int32_t n : {2, 1}) {
    doc.SelectPage(n);
    EXPECT_EQ(doc.workingSettings().canvasType(), CanvasType_Menu);
    EXPECT_EQ(doc.workingSettings().pageInterval(), 700);
    EXPECT_EQ(doc.workingSettings().pubFile(), "a,b");
  }
}

TEST_F(NoteReaderStructureTest, WhatIsReadIsBoundsChecked) {
  read(note("n.svg",
            "<svg uuid=\"{0123}\" zerbin-wnd=\"12\" width=\"99999999999\" height=\"-50\">"
            "\r\n</svg>\r\n"));
  // The short text is no uuid: the note has a new one.
  EXPECT_NE(doc.uuid.data1, 0x0123u);
  EXPECT_FALSE(doc.uuid == StrX_Guid{});
  EXPECT_EQ(doc.windowX, NoteDocument_noWindowPosition);
  EXPECT_EQ(doc.windowY, NoteDocument_noWindowPosition);
  EXPECT_EQ(settings(1).width(), Canvas_sizeMax);
  EXPECT_EQ(settings(1).height(), Canvas_sizeMin);

  // Long texts are cut to what the page holds.
  const std::string longClass(200, 'c'), longPub(700, 'p'), longId(400, 'i');
  read(note("m.svg", WrittenNote(PageGroup("page1", -5, 2000000, "",
                                           " id2=\"" + longId + "\" zerbin_page_class=\"" +
                                               longClass + "\" zerbin-pub=\"" + longPub + "\""),
                                 470, 320)));
  EXPECT_EQ(settings(1).width(), Canvas_sizeMin);
  EXPECT_EQ(settings(1).height(), Canvas_sizeMax);
  EXPECT_EQ(settings(1).className(), longClass.substr(0, 63));
  EXPECT_EQ(settings(1).pubPage(), longPub.substr(0, 511));
  EXPECT_EQ(settings(1).GetId(), longId.substr(0, 259));

  // A uuid with trailing characters is no uuid either.
  read(note("u.svg", "<svg uuid=\"{01234567-89AB-CDEF-0123-456789ABCDEF}x\"></svg>"));
  EXPECT_NE(doc.uuid.data1, 0x01234567u);
  read(note("v.svg", "<svg uuid=\"01234567-89AB-CDEF-0123-456789ABCDEF\"></svg>"));
  EXPECT_EQ(doc.uuid.data1, 0x01234567u);
}

TEST_F(NoteReaderStructureTest, ImagePathTooLongForThePageIsTheBufOverError) {
  const std::string path = note("n.svg",
                                "<?xml version=\"1.0\"?>\r\n\r\n<svg width=\"10\" height=\"10\"\r\n"
                                " corr-image=\"" +
                                    std::string(300, 'x') + ".png\">\r\n</svg>\r\n");
  const Errors_Msg e = readError(path);
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_EQ(std::string(e.message()), "BufOver ERROR in (3) " + path);
}

// --- encodings -----------------------------------------------------------------

TEST_F(NoteReaderStructureTest, Utf16FileIsReadAsUtf16) {
  // The declaration says utf-8: only the byte-order mark counts.
  const std::u8string text =
      u8"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<svg sub_doctype=\"zerbin-300\" "
      u8"width=\"120\" "
      u8"height=\"70\">\r\n<zerbin-pages>\r\n\t<zerbin-page num=\"1\" title=\"目次 &amp; 表\"/>\r\n"
      u8"</zerbin-pages>\r\n</svg>\r\n";
  read(note("n.svg", Utf16File(text)));
  EXPECT_EQ(doc.page(1)->title(), Sjis(u8"目次 & 表"));
  EXPECT_EQ(settings(1).width(), 100);
  EXPECT_EQ(settings(1).height(), 50);
}

TEST_F(NoteReaderStructureTest, Utf16IsConvertedExactlyInEitherByteOrder) {
  // Runs of double-byte characters (more bytes than units), half-width
  // katakana, a character outside the code page and a surrogate pair, at
  // every alignment.
  const std::u8string body =
      u8"<svg>\u65e5\u672c\u8a9e\u306e\u30da\u30fc\u30b8 abc \uff71\uff72 \u00e9"
      u8" \U0001F600 \u8868\u8868\u8868\u8868\u8868\u8868\u8868\u8868 tail text</svg>";
  for (int shift = 0; shift < 8; ++shift) {
    std::u8string text(static_cast<size_t>(shift), u8' ');
    text += body;
    const std::string utf8(reinterpret_cast<const char*>(text.data()), text.size());
    const std::string expected = Cp932_fromUtf8(utf8);
    ASSERT_NE(expected.find("tail text</svg>"), std::string::npos);
    const std::string le = note("le.svg", Utf16File(text));
    EXPECT_EQ(NoteReader_documentText(le), expected) << shift;
    std::string be = ReadFileBytes(le);
    for (size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
    EXPECT_EQ(NoteReader_documentText(note("be.svg", be)), expected) << shift;
    // A last odd byte is dropped.
    EXPECT_EQ(NoteReader_documentText(note("odd.svg", ReadFileBytes(le) + "x")), expected);
  }
}

TEST_F(NoteReaderStructureTest, FileWithoutByteOrderMarkIsShiftJisWhateverTheDeclarationSays) {
  const std::string text =
      "<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<svg>\r\n<zerbin-pages>\r\n"
      "\t<zerbin-page num=\"1\" title=\"" +
      Sjis(u8"頁") +
      "\"/>\r\n"
      "</zerbin-pages>\r\n</svg>\r\n";
  read(note("n.svg", text));
  EXPECT_EQ(doc.page(1)->title(), Sjis(u8"頁"));
}

TEST_F(NoteReaderStructureTest, SvgzIsUnpackedInMemory) {
  const std::string text =
      WrittenNote(PageGroup("page1", 100, 10, kRect) + PageGroup("page2", 100, 10, "") +
                  "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"z1\"/>\r\n"
                  "<zerbin-page num=\"2\" title=\"z2\"/>\r\n</zerbin-pages>\r\n");
  for (const char* name : {"n.svgz", "N.SVGZ"}) {
    const std::string path = note(name, NoteBytes_gzip(text));
    const std::string bytes = ReadFileBytes(path);
    const std::set<std::string> before = FolderNames(dir.path());
    read(path);
    ASSERT_EQ(doc.pageCount(), 2u) << name;
    EXPECT_EQ(doc.page(2)->title(), "z2");
    EXPECT_EQ(doc.page(1)->figureCount(), 1u);
    // Nothing unpacked beside the note, and the note unchanged.
    EXPECT_EQ(FolderNames(dir.path()), before);
    EXPECT_EQ(ReadFileBytes(path), bytes);
  }
}

TEST_F(NoteReaderStructureTest, SvgzOfUtf16IsUnpackedAndConverted) {
  const std::string path =
      note("n.svgz",
           NoteBytes_gzip(Utf16File(u8"<svg width=\"50\" height=\"60\"><zerbin-pages><zerbin-page "
                                    u8"num=\"1\" title=\"ページ\"/>"
                                    u8"</zerbin-pages></svg>")));
  read(path);
  EXPECT_EQ(doc.page(1)->title(), Sjis(u8"ページ"));
  EXPECT_EQ(settings(1).width(), 50);
}

TEST_F(NoteReaderStructureTest, SvgzThatIsNotGzipIsReadAsAPlainNote) {
  read(note("n.svgz", PlainSvg("", " width=\"123\" height=\"45\"")));
  EXPECT_EQ(settings(1).width(), 123);
}

TEST_F(NoteReaderStructureTest, DamagedSvgzRaisesAndLeavesNoFile) {
  std::string gz = NoteBytes_gzip(PlainSvg(std::string(5000, ' ')));
  gz.resize(gz.size() / 2);
  const std::string path = note("n.svgz", gz);
  const std::set<std::string> before = FolderNames(dir.path());
  const Errors_Msg e = readError(path);
  EXPECT_NE(e.code, 0);
  EXPECT_EQ(FolderNames(dir.path()), before);
}

TEST_F(NoteReaderStructureTest, SvgzBeyondTheLimitIsNotUnpacked) {
  const std::string path = note("n.svgz", NoteBytes_gzip(PlainSvg(std::string(100000, ' '))));
  NoteReadOptions o = options();
  o.unpackLimit = 1000;
  const Errors_Msg e = CatchError([&] { NoteReader_read(doc, 3, path, o); });
  EXPECT_EQ(e.code, Errors_Unofficial);
}

TEST_F(NoteReaderStructureTest, ReadingNeverChangesTheNoteFile) {
  const std::string path = note("n.svg", WrittenNote(PageGroup("page1", 100, 10, kRect)));
  struct stat before {};
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  const std::set<std::string> names = FolderNames(dir.path());
  read(path);
  struct stat after {};
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
  EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
  EXPECT_EQ(before.st_size, after.st_size);
  EXPECT_EQ(FolderNames(dir.path()), names);
}

// --- structural ids ------------------------------------------------------------

TEST_F(NoteReaderStructureTest, StructuralIdsInsideGroupsAndPagesAreFigures) {
  // Inside a page group, and inside an ordinary group, these ids are figure
  // groups: one page, every rect kept, no "too many </g>".
  const std::string body = "<g id=\"page2\">\r\n" + std::string(kRect) + "</g>\r\n" +
                           "<g id=\"backpage\">\r\n" + kRect + "</g>\r\n" +
                           "<g>\r\n<g id=\"page3\">\r\n" + kRect +
                           "</g>\r\n<g id=\"zerbin-ink\">\r\n" + kRect + "</g>\r\n</g>\r\n";
  read(note("n.svg", WrittenNote(PageGroup("page1", 200, 100, body))));
  ASSERT_EQ(doc.pageCount(), 1u);
  ASSERT_EQ(doc.page(1)->figureCount(), 4u);
  EXPECT_EQ(doc.page(1)->figures.at(1).GetId(), "page2");
  EXPECT_EQ(doc.page(1)->figures.at(2).GetId(), "backpage");
  EXPECT_EQ(doc.page(1)->figures.at(3).GetId(), "page3");
  EXPECT_EQ(doc.page(1)->figures.at(4).GetId(), "zerbin-ink");
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(1, InkLayer_back)), "");
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(1, InkLayer_front)), "");
}

TEST_F(NoteReaderStructureTest, PageZeroAndOtherIdsAreNoPages) {
  read(note("n.svg", WrittenNote("<g id=\"page0\">\r\n" + std::string(kRect) + "</g>\r\n" +
                                 "<g id=\"page1x\">\r\n" + kRect + "</g>\r\n" +
                                 "<g id=\"pagenum\">\r\n" + kRect + "</g>\r\n")));
  ASSERT_EQ(doc.pageCount(), 1u);
  EXPECT_EQ(doc.page(1)->figureCount(), 3u);
}

// --- what figures take from groups and links -----------------------------------

TEST_F(NoteReaderStructureTest, PendingValuesBelongToTheirGroup) {
  const std::string r = "<rect x=\"1\" y=\"2\" width=\"3\" height=\"4\"/>";
  read(note("n.svg", PlainSvg("<g id=\"outer\"><g id=\"inner\">" + r + "</g>" + r +
                              "<g transform=\"rotate(30)\">" + r + "</g></g>" + r +
                              "<a xlink:href=\"http://x.example/\">" + r + "</a>" + r +
                              "<g onclick=\"go()\"><a>" + r + "</a></g>" + "<g href=\"#top\"><g>" +
                              r + "</g></g>")));
  const FigureList& f = doc.page(1)->figures;
  ASSERT_EQ(f.size(), 9u);
  EXPECT_EQ(f.at(1).GetId(), "inner");
  EXPECT_EQ(f.at(2).GetId(), "outer");  // the inner group's id went with it
  EXPECT_EQ(f.at(3).GetId(), "outer");  // a group without an id keeps its parent's
  EXPECT_EQ(f.at(4).GetId(), "");
  EXPECT_EQ(f.at(5).GetUrl(), "http://x.example/");
  EXPECT_EQ(f.at(6).GetUrl(), "");             // the link ended with its <a>
  EXPECT_EQ(f.at(7).GetUrl(), "script:go()");  // a bare <a> keeps the group's link
  EXPECT_EQ(f.at(8).GetUrl(), "#top");
}

TEST_F(NoteReaderStructureTest, LinksAreMadeAbsoluteAgainstTheNote) {
  const std::string r = "<rect x=\"1\" y=\"2\" width=\"3\" height=\"4\"/>";
  auto linked = [&](const std::string& attributes) {
    return "<a " + attributes + ">" + r + "</a>";
  };
  const std::string path = note(
      "n.svg",
      PlainSvg(
          linked("xlink:href=\"sub/x.svg\" target=\"_self\"") + linked("xlink:href=\"#frag\"") +
          linked("xlink:href=\"%docs%/a.txt\"") +
          linked("xlink:href=\"/abs/x.htm\" zerbin_vhref=\"%home%/x.htm\"") +
          linked("xlink:href=\"http://h.example/p?q=1\"") + linked("xlink:href=\"..\\up\\w.doc\"") +
          linked("xlink:href=\"" + std::string(5000, 'l') + "\"") +
          linked("xlink:href=\"a.htm\" onclick=\"parent.window.opener='a'; parent.window.close();\""
                 " zerbin-onclick=\"NewView\"") +
          linked("xlink:href=\"a.htm\" zerbin-onclick=\"NewView\"")));
  read(path);
  const FigureList& f = doc.page(1)->figures;
  ASSERT_EQ(f.size(), 10u);
  EXPECT_EQ(f.at(1).GetUrl(), dir.file("sub/x.svg"));
  EXPECT_EQ(f.at(1).GetTarget(), "_self");
  EXPECT_EQ(f.at(2).GetUrl(), path + "#frag");
  EXPECT_EQ(f.at(3).GetUrl(), "%docs%/a.txt");
  EXPECT_EQ(f.at(4).GetUrl(), "%home%/x.htm");
  EXPECT_EQ(f.at(5).GetUrl(), "http://h.example/p?q=1");
  EXPECT_EQ(f.at(6).GetUrl(), StrX_parentFolder(dir.path()) + "/up/w.doc");
  // Too long to be made absolute: taken as written.
  EXPECT_EQ(f.at(7).GetUrl(), std::string(5000, 'l'));
  EXPECT_EQ(f.at(8).GetAfterClick(), 3);
  EXPECT_EQ(f.at(9).GetAfterClick(), 2);
  EXPECT_EQ(f.at(5).GetAfterClick(), 0);
}

// --- errors --------------------------------------------------------------------

TEST_F(NoteReaderStructureTest, TooManyGroupEndsIsTheReaderErrorWithItsPlace) {
  const std::string path = note("n.svg", "<svg>\r\n<g>\r\n</g>\r\n  </g>\r\n</svg>\r\n");
  const Errors_Msg e = readError(path);
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_EQ(std::string(e.message()),
            "File can not open, because there is the element not supported by Zerbin.\r\nfile = " +
                path + "\r\nline = 4\r\ncolumn = 3\r\nmessage = </g> が多すぎる");
  // No message box for this one.
  EXPECT_EQ(echo(), "");
}

TEST_F(NoteReaderStructureTest, FileWithoutRootIsUnsupported) {
  const Errors_Msg e = readError(note("n.svg", "just some text <p>and a tag</p>\r\n"));
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_STREQ(e.message(),
               "File can not open, because there is the element not supported by Zerbin.");
  EXPECT_NE(echo().find("File can not open"), std::string::npos);
}

TEST_F(NoteReaderStructureTest, TspanOutsideTextIsUnsupported) {
  const Errors_Msg e = readError(note("n.svg", PlainSvg("<tspan x=\"1\" y=\"2\">a</tspan>")));
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
}

TEST_F(NoteReaderStructureTest, AfterAnErrorTheNoteIsStillUsable) {
  (void)readError(note("n.svg", WrittenNote(PageGroup("page1", 100, 10, kRect) + "</g>\r\n")));
  ASSERT_NE(doc.currentPage(), nullptr);
  doc.SelectPage(1);
  read(note("m.svg", WrittenNote(kRect)));
  EXPECT_EQ(doc.pageCount(), 1u);
  EXPECT_EQ(doc.page(1)->figureCount(), 1u);
}

TEST_F(NoteReaderStructureTest, AnErrorInsideTheTitleListLeavesASoundTree) {
  // Page 1 listed inside itself, then a number no page has.
  const std::string list =
      "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"a\">\r\n<zerbin-page num=\"1\"/>\r\n"
      "<zerbin-page num=\"2\"/>\r\n<zerbin-page num=\"2\"/>\r\n<zerbin-page num=\"9\"/>\r\n";
  const Errors_Msg e =
      readError(note("n.svg", WrittenNote(PageGroup("page1", 100, 10, "") +
                                          PageGroup("page2", 100, 10, "") + list)));
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_EQ(doc.checkTree(), "");
  ASSERT_NE(doc.currentPage(), nullptr);
  doc.SelectPage(2);
  EXPECT_TRUE(doc.DeletePage(nullptr));
  EXPECT_EQ(doc.pageCount(), 1u);
}

TEST_F(NoteReaderStructureTest, ANoteNeverStartedLeavesOtherNotesFilesAlone) {
  // Files of document number 0 (another, temporary note).
  InkLayerFiles other(work.path(), 0);
  WriteFileBytes(other.frontPath(1), "other");
  read(note("n.svg", WrittenNote("")));
  EXPECT_EQ(ReadFileBytes(other.frontPath(1)), "other");
}

// --- temporary files -------------------------------------------------------------

TEST_F(NoteReaderStructureTest, EveryPageEndsWithBothInkLayerFiles) {
  read(note("n.svg",
            WrittenNote(PageGroup("backpage", 100, 10, "") + PageGroup("page1", 100, 10, "") +
                        PageGroup("page2", 100, 10, "") + PageGroup("page3", 100, 10, ""))));
  ASSERT_EQ(doc.pageCount(), 4u);
  for (int32_t n = 0; n <= 3; ++n) {
    EXPECT_TRUE(FileX_isFile(doc.inkLayerPath(n, InkLayer_back))) << n;
    EXPECT_TRUE(FileX_isFile(doc.inkLayerPath(n, InkLayer_front))) << n;
  }
  EXPECT_FALSE(FileX_isFile(doc.inkLayerPath(4, InkLayer_back)));
}

TEST_F(NoteReaderStructureTest, TheOldContentsFilesGo) {
  doc.NewDocument(9, false);
  doc.AddPage(AddPage_next);
  WriteFileBytes(doc.inkLayerPath(2, InkLayer_front), "old ink");
  WriteFileBytes(doc.imageNamePrefix() + "1", "old image");
  // Files of the new number left by an earlier note.
  InkLayerFiles stale(work.path(), documentNumber);
  WriteFileBytes(stale.frontPath(4), "stale");
  read(note("n.svg", WrittenNote("")));
  EXPECT_FALSE(FileX_exists(InkLayerFiles(work.path(), 9).frontPath(2)));
  EXPECT_FALSE(FileX_exists(InkLayerFiles(work.path(), 9).frontPath(1)));
  EXPECT_FALSE(FileX_exists(stale.frontPath(4)));
  std::set<std::string> left = FolderNames(work.path());
  for (const std::string& name : left)
    EXPECT_EQ(name.find("_00000009_"), std::string::npos) << name;
  EXPECT_EQ(doc.documentNumber(), documentNumber);
}

// --- ink -----------------------------------------------------------------------

TEST_F(NoteReaderStructureTest, InkGroupsAreCopiedIntoTheLayerFilesByteForByte) {
  const std::string back =
      "\r\n\t<g id=\"zerbin-stroke\" style=\"stroke:rgb(1,2,3)\">\r\n"
      "\t<line x1=\"1\" y1=\"2\" x2=\"3\" y2=\"4\"\r\n\t\tstyle=\"stroke-width:1.0\"/>\r\n"
      "\t</g>\r\n\t</g>";
  const std::string front = "\r\n<zerbin-ink-rawdata>\r\n<![CDATA[\r\n" + std::string(73, 'A') +
                            "\r\nBBBB\r\n]]>\r\n</zerbin-ink-rawdata>\r\n\t</g>";
  read(note("n.svg",
            WrittenNote(std::string(kRect) + "\t<g id=\"zerbin-ink\" type=\"back\">" + back +
                        "\r\n\t<g id=\"zerbin-ink\" type=\"front\">" + front + "\r\n")));
  // The stroke lines are no figures.
  EXPECT_EQ(doc.page(1)->figureCount(), 1u);
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(1, InkLayer_back)),
            "\t<g id=\"zerbin-ink\" type=\"back\">" + back + "\r\n");
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(1, InkLayer_front)),
            "\t<g id=\"zerbin-ink\" type=\"front\">" + front + "\r\n");
  EXPECT_EQ(doc.page(1)->inkData, std::string(73, 'A') + "BBBB");
  EXPECT_EQ(echo(), "");
}

TEST_F(NoteReaderStructureTest, InkGroupWithoutTypeTakesItsLayerFromThePage) {
  const std::string ink = "<g id=\"zerbin-ink\">\r\n</g>\r\n";
  read(note("n.svg", WrittenNote(PageGroup("page1", 100, 10, ink) +
                                 PageGroup("page2", 100, 10, std::string(kRect) + ink))));
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(1, InkLayer_back)),
            "\t<g id=\"zerbin-ink\" type=\"back\">\r\n</g>\r\n");
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(1, InkLayer_front)), "");
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(2, InkLayer_front)),
            "\t<g id=\"zerbin-ink\" type=\"front\">\r\n</g>\r\n");
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(2, InkLayer_back)), "");
}

TEST_F(NoteReaderStructureTest, InkOfTheBackPageGroupGoesToTheBackPage) {
  const std::string ink =
      "\t<g id=\"zerbin-ink\" type=\"front\">\r\n<zerbin-ink-rawdata>\r\n<![CDATA[\r\n"
      "QkFDSw==\r\n]]>\r\n</zerbin-ink-rawdata>\r\n\t</g>\r\n";
  read(note("n.svg",
            WrittenNote(PageGroup("backpage", 100, 10, ink) + PageGroup("page1", 100, 10, ""))));
  ASSERT_TRUE(doc.hasBackPage());
  EXPECT_EQ(doc.page(0)->inkData, "QkFDSw==");
  EXPECT_EQ(doc.page(1)->inkData, "");
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(0, InkLayer_front)), ink);
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(1, InkLayer_front)), "");
}

TEST_F(NoteReaderStructureTest, RawInkOnFewerLinesIsReadToo) {
  // Marks and the end tag on the lines of the data; the group still ends.
  const std::string path =
      note("n.svg",
           WrittenNote(PageGroup("page1", 100, 10,
                                 "<g id=\"zerbin-ink\" type=\"front\"><zerbin-ink-rawdata>"
                                 "<![CDATA[AAAA\r\n  BB BB\r\nCC]]></zerbin-ink-rawdata></g>\r\n" +
                                     std::string(kRect)) +
                       PageGroup("page2", 100, 10, "")));
  read(path);
  EXPECT_EQ(doc.page(1)->inkData, "AAAABB BBCC");
  EXPECT_EQ(doc.page(1)->figureCount(), 1u);
  EXPECT_EQ(doc.pageCount(), 2u);
  EXPECT_EQ(echo(), "");
}

TEST_F(NoteReaderStructureTest, RawInkWithoutItsEndTagSaysFeofAndKeepsWhatWasRead) {
  read(note("n.svg",
            "<svg>\r\n<g id=\"zerbin-ink\" type=\"front\">\r\n<zerbin-ink-rawdata>\r\n"
            "<![CDATA[\r\nAAAA\r\nBBBB\r\n"));
  EXPECT_EQ(doc.page(1)->inkData, "AAAABBBB");
  EXPECT_EQ(echo(), "feof\r\n");
}

// Records what the view's ink component is asked.
class RecordingInk : public InkManager {
 public:
  bool hasInkLoaded() const override { return loaded; }
  bool inkChanged() const override { return false; }
  std::string serialiseInk() override { return "serialised"; }
  void writeLayerFiles(std::string_view, std::string_view) override { ++layerWrites; }
  void clearInk() override {
    ++clears;
    loaded = false;
  }
  void loadInk(std::string_view data, std::string_view, std::string_view) override {
    loads.emplace_back(data);
    loaded = true;
  }
  int32_t zoomPercent() const override { return 200; }
  void setInkArea(int32_t w, int32_t h) override {
    area = std::to_string(w) + "x" + std::to_string(h);
  }

  bool loaded = true;
  int clears = 0;
  int layerWrites = 0;
  std::vector<std::string> loads;
  std::string area;
};

TEST_F(NoteReaderStructureTest, TheViewsInkIsResetAndGetsPageOneOnly) {
  RecordingInk ink;
  doc.NewDocument(1, true);
  doc.inkManager = &ink;
  ink.loads.clear();
  auto group = [](const char* raw) {
    std::string g = "\t<g id=\"zerbin-ink\" type=\"front\">\r\n<zerbin-ink-rawdata>\r\n";
    g += raw;
    g += "\r\n</zerbin-ink-rawdata>\r\n\t</g>\r\n";
    return g;
  };
  const std::string p1 = group("P1"), p2 = group("P2");
  read(note("n.svg",
            WrittenNote(PageGroup("page1", 100, 50, p1) + PageGroup("page2", 100, 10, p2))));
  EXPECT_EQ(doc.inkManager, &ink);
  EXPECT_GE(ink.clears, 1);
  EXPECT_EQ(ink.layerWrites, 0);
  ASSERT_EQ(ink.loads.size(), 1u);
  EXPECT_EQ(ink.loads[0], "P1");
  EXPECT_EQ(ink.area, "200x100");
  EXPECT_EQ(ReadFileBytes(doc.inkLayerPath(2, InkLayer_front)), p2);
}

// --- the probe -------------------------------------------------------------------

TEST_F(NoteReaderStructureTest, ProbeOfASinglePageNote) {
  int32_t w = 0, h = 0;
  EXPECT_FALSE(NoteReader_probePageSize(note("n.svg", WrittenNote(kRect, 820, 620)), w, h));
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
}

TEST_F(NoteReaderStructureTest, ProbeOfSeveralPagesTakesTheFirstPageGroup) {
  int32_t w = 0, h = 0;
  const std::string body = "<g><g id=\"page2\"></g></g>\r\n" + PageGroup("backpage", 50, 40, "") +
                           PageGroup("page1", 300, 200, "<g id=\"page2\"></g>") +
                           PageGroup("page2", 400, 100, "");
  EXPECT_TRUE(NoteReader_probePageSize(note("n.svg", WrittenNote(body, 420, 900)), w, h));
  EXPECT_EQ(w, 300);
  EXPECT_EQ(h, 200);
  EXPECT_FALSE(
      NoteReader_probePageSize(note("m.svg", WrittenNote(PageGroup("page1", 300, 200, ""))), w, h));
}

TEST_F(NoteReaderStructureTest, ProbeOfAForeignSvgzAndAMissingFile) {
  int32_t w = 0, h = 0;
  EXPECT_FALSE(NoteReader_probePageSize(
      note("n.svgz", NoteBytes_gzip(PlainSvg("", " width=\"640\" height=\"480\""))), w, h));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  const Errors_Msg e = CatchError([&] { NoteReader_probePageSize(dir.file("none.svg"), w, h); });
  EXPECT_EQ(e.code, FileX_Err_CannotReadOpen);
}

}  // namespace

namespace {

// Every save regenerates the files that pages name in corr-image: only
// files inside the note's own folder tree are taken from a note; any other
// is dropped with one line in the log.
TEST_F(NoteReaderStructureTest, PageImagePathsOutsideTheNoteFolderAreDropped) {
  TempDir logDir;
  Errors_setProgramPath(logDir.file("zerbin"));
  Errors_setLogName(logDir.file("log.txt"));
  Errors_resetLog();
  const std::string inside = dir.file("sub/p4.png");
  const std::string body =
      PageGroup("page1", 100, 100, "", " corr-image=\"img/p1.png\"") +
      PageGroup("page2", 100, 100, "", " corr-image=\"../p2.png\"") +
      PageGroup("page3", 100, 100, "", " corr-image=\"/etc/p3.png\"") +
      PageGroup("page4", 100, 100, "", " corr-image=\"" + inside + "\"") +
      PageGroup("page5", 100, 100, "", " corr-image=\"img/../../p5.jpg\"") +
      PageGroup("page6", 100, 100, "", " corr-image=\"img\\..\\..\\p6.png\"");
  const std::string path = note("n.svg", WrittenNote(body));
  read(path);
  const std::string log = ReadFileBytes(logDir.file("log.txt"));
  Errors_setProgramPath("");
  Errors_setLogName("errlog.txt");
  ASSERT_EQ(doc.pageCount(), 6u);
  EXPECT_EQ(settings(1).saveImageFile(), dir.file("img/p1.png"));
  EXPECT_EQ(settings(2).saveImageFile(), "");
  EXPECT_EQ(settings(3).saveImageFile(), "");
  EXPECT_EQ(settings(4).saveImageFile(), inside);
  EXPECT_EQ(settings(5).saveImageFile(), "");
  EXPECT_EQ(settings(6).saveImageFile(), "");
  for (const char* dropped : {"../p2.png", "/etc/p3.png", "img/../../p5.jpg"})
    EXPECT_NE(log.find(std::string("corr-image outside the note's folder ignored: ") + dropped),
              std::string::npos)
        << log;
  EXPECT_EQ(log.find("p1.png"), std::string::npos) << log;

  // The root of a note of one page is held to the same rule.
  read(note("one.svg", "<svg width=\"10\" height=\"10\" corr-image=\"../../x.html\"></svg>"));
  EXPECT_EQ(settings(1).saveImageFile(), "");
}

TEST(ReaderValueInsideFolder, OnlyTheFolderTree) {
  EXPECT_TRUE(ReaderValue_insideFolder("/a/b/c.png", "/a/b"));
  EXPECT_TRUE(ReaderValue_insideFolder("/a/b/x/c.png", "/a/b"));
  EXPECT_TRUE(ReaderValue_insideFolder("/c.png", "/"));
  EXPECT_FALSE(ReaderValue_insideFolder("/a/bc/c.png", "/a/b"));
  EXPECT_FALSE(ReaderValue_insideFolder("/a/b", "/a/b"));
  EXPECT_FALSE(ReaderValue_insideFolder("/a/b/", "/a/b"));
  EXPECT_FALSE(ReaderValue_insideFolder("/a/b/../c.png", "/a/b"));
  EXPECT_FALSE(ReaderValue_insideFolder("/a/c.png", "/a/b"));
  EXPECT_FALSE(ReaderValue_insideFolder("http://x/c.png", "/a/b"));
  EXPECT_TRUE(ReaderValue_insideFolder("img/c.png", ""));
  EXPECT_FALSE(ReaderValue_insideFolder("../c.png", ""));
  EXPECT_FALSE(ReaderValue_insideFolder("img\\..\\..\\c.png", ""));
  EXPECT_FALSE(ReaderValue_insideFolder("/c.png", ""));
  EXPECT_FALSE(ReaderValue_insideFolder("C:\\c.png", ""));
  // A trail byte 0x5C is no separator: "ソ" is 83 5C.
  EXPECT_TRUE(ReaderValue_insideFolder("/a/b/" + Sjis(u8"ソ") + "../c.png", "/a/b"));
}

}  // namespace
