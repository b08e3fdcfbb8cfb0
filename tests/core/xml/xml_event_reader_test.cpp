#include "core/xml/xml_event_reader.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::Sjis;

namespace {

// The events of the input in one line: "kind:name" for tags and
// "4:[text]" for text events, separated by blanks.
std::string Events(std::string_view input) {
  XmlEventReader r;
  r.OpenBytes(std::string(input));
  std::string out;
  while (r.Next()) {
    if (!out.empty()) out += ' ';
    out += std::to_string(static_cast<int>(r.Kind()));
    out += ':';
    if (r.Kind() == XmlEvent_text) {
      out += '[';
      out += r.Text();
      out += ']';
    } else {
      out += r.Name();
    }
  }
  return out;
}

// The reader standing at the first tag of the input.
void OpenAtFirst(XmlEventReader& r, std::string input) {
  r.OpenBytes(std::move(input));
  ASSERT_TRUE(r.Next());
}

std::string AttributeOr(const XmlEventReader& r, std::string_view name, std::string other = "-") {
  std::optional<std::string_view> v = r.Attribute(name);
  return v ? std::string(*v) : other;
}

}  // namespace

TEST(XmlEventReader, EmptyInputHasNoEvents) {
  XmlEventReader r;
  r.OpenBytes("");
  EXPECT_FALSE(r.Next());
  EXPECT_EQ(XmlEvent_none, r.Kind());
  EXPECT_EQ(1, r.Line());
  EXPECT_EQ(1, r.Column());
  EXPECT_EQ(0u, r.EventOffset());
  EXPECT_FALSE(r.Next());
  EXPECT_EQ("", Events(" \r\n\t "));
  EXPECT_EQ("", Events("only text, no tag"));
}

TEST(XmlEventReader, NotOpenHasNoEvents) {
  XmlEventReader r;
  EXPECT_FALSE(r.Next());
  r.SkipTo(10);
  EXPECT_FALSE(r.Next());
  EXPECT_EQ("", r.Bytes());
}

TEST(XmlEventReader, LessThanFollowedByBlankIsNoTag) {
  // The text runs to the "<"; the bytes behind a "<" that starts no tag
  // are not reported.
  EXPECT_EQ("1:t 4:[a] 2:/t", Events("<t>a < b</t>"));
  EXPECT_EQ("1:t 4:[x] 2:/t", Events("<t>x<1y</t>"));
  EXPECT_EQ("1:t 4:[x] 3:e", Events("<t>x<<e/>"));
  EXPECT_EQ("1:t 4:[a>b] 2:/t", Events("<t>a>b</t>"));
  EXPECT_EQ("1:a 4:[]", Events("<a><"));
  EXPECT_EQ("3:a", Events("< a><a/>"));
}

TEST(XmlEventReader, EmptyElementTagHasNoTextBehindIt) {
  EXPECT_EQ("1:g 4:[] 3:rect 3:rect 2:/g",
            Events("<g><rect x=\"1\" y=\"2\"/>\r\n  <rect/></g>\r\n"));
  XmlEventReader r;
  OpenAtFirst(r, "<rect x=\"1\"/>");
  EXPECT_EQ(XmlEvent_empty, r.Kind());
  EXPECT_EQ("rect", r.Name());
  EXPECT_EQ("1", AttributeOr(r, "x"));
  EXPECT_FALSE(r.Next());
  // Text that is not a tag does follow an empty-element tag.
  EXPECT_EQ("3:rect 4:[abc] 3:x", Events("<rect/> abc <x/>"));
  // An empty-element tag without attributes keeps its name clean.
  EXPECT_EQ("3:g 3:br 3:tspan", Events("<g/><br/> <tspan\n/>"));
}

TEST(XmlEventReader, TextElementGivesStartTextEndAndText) {
  EXPECT_EQ("1:text 4:[abc] 2:/text 4:[]", Events("<text>abc</text><"));
  EXPECT_EQ("1:text 4:[abc] 2:/text 4:[] 1:g 4:[] 3:rect 2:/g",
            Events("<text>abc</text>\r\n<g><rect/></g>"));
  EXPECT_EQ("1:a 4:[abc]", Events("<a>abc"));
  EXPECT_EQ("1:a 4:[x y] 2:/a 4:[tail]", Events("<a>  x y \r\n</a>\ttail\r\n"));
  // Name and attributes of the tag stay while its text is current.
  XmlEventReader r;
  OpenAtFirst(r, "<kw href=\"#a\">word</kw>");
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_text, r.Kind());
  EXPECT_EQ("kw", r.Name());
  EXPECT_EQ("#a", AttributeOr(r, "href"));
  EXPECT_EQ("word", r.Text());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_end, r.Kind());
  EXPECT_EQ("/kw", r.Name());
  EXPECT_EQ("", r.Text());
  EXPECT_TRUE(r.Attributes().empty());
}

TEST(XmlEventReader, KindsOfTags) {
  XmlEventReader r;
  r.OpenBytes(
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
      "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://x/svg11.dtd\">\r\n"
      "<svg width=\"10\"><g/></g ><?pi x?></svg>");
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_empty, r.Kind());
  EXPECT_EQ("?xml", r.Name());
  EXPECT_EQ("1.0", AttributeOr(r, "version"));
  EXPECT_EQ("Shift_JIS", AttributeOr(r, "encoding"));
  ASSERT_TRUE(r.Next());  // no text behind "?>"
  EXPECT_EQ(XmlEvent_empty, r.Kind());
  EXPECT_EQ("!DOCTYPE", r.Name());
  EXPECT_EQ("", AttributeOr(r, "svg"));
  EXPECT_EQ("", AttributeOr(r, "PUBLIC"));
  ASSERT_TRUE(r.Next());  // a declaration has no closing mark: text follows
  EXPECT_EQ(XmlEvent_text, r.Kind());
  EXPECT_EQ("", r.Text());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_start, r.Kind());
  EXPECT_EQ("svg", r.Name());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_text, r.Kind());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_empty, r.Kind());
  EXPECT_EQ("g", r.Name());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_end, r.Kind());
  EXPECT_EQ("/g", r.Name());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_text, r.Kind());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_empty, r.Kind());
  EXPECT_EQ("?pi", r.Name());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_end, r.Kind());
  EXPECT_EQ("/svg", r.Name());
  EXPECT_FALSE(r.Next());
  EXPECT_EQ(XmlEvent_none, r.Kind());
  EXPECT_FALSE(r.Next());
}

TEST(XmlEventReader, AttributeNamesIgnoreCase) {
  XmlEventReader r;
  OpenAtFirst(r, "<rect ID=\"r1\" Xlink:HREF=\"#p\" id=\"second\" x/>");
  EXPECT_EQ("r1", AttributeOr(r, "id"));
  EXPECT_EQ("r1", AttributeOr(r, "iD"));
  EXPECT_EQ("#p", AttributeOr(r, "xlink:href"));
  EXPECT_EQ("-", AttributeOr(r, "i"));
  EXPECT_EQ("-", AttributeOr(r, "ids"));
  EXPECT_EQ("", AttributeOr(r, "X"));
  ASSERT_EQ(4u, r.Attributes().size());
  EXPECT_EQ("ID", r.Attributes()[0].name);
  EXPECT_EQ("id", r.Attributes()[2].name);
  EXPECT_EQ("second", r.Attributes()[2].value);
  EXPECT_EQ("x", r.Attributes()[3].name);
  EXPECT_EQ("", r.Attributes()[3].value);
  EXPECT_EQ(XmlEvent_empty, r.Kind());
}

TEST(XmlEventReader, ValueForms) {
  XmlEventReader r;
  OpenAtFirst(r, "<a x = \"1 2\" y=2 z w= v=\"\" _u=\"q\"\"r\" t=a=b>");
  EXPECT_EQ("1 2", AttributeOr(r, "x"));
  EXPECT_EQ("2", AttributeOr(r, "y"));
  // "z" has no "="; "w=" takes the next word up to "=" as its value; that
  // "=" is an unexpected character and the rest of the tag is skipped.
  EXPECT_EQ("", AttributeOr(r, "z"));
  EXPECT_EQ("v", AttributeOr(r, "w"));
  EXPECT_EQ("-", AttributeOr(r, "v"));
  EXPECT_EQ(4u, r.Attributes().size());
  EXPECT_EQ(XmlEvent_start, r.Kind());

  OpenAtFirst(r, "<a v=\"\" _u=\"q\"r=\"s\" t=a=b n>");
  EXPECT_EQ("", AttributeOr(r, "v"));
  EXPECT_EQ("q", AttributeOr(r, "_u"));
  EXPECT_EQ("s", AttributeOr(r, "r"));
  EXPECT_EQ("a", AttributeOr(r, "t"));
  EXPECT_EQ("-", AttributeOr(r, "n"));
  EXPECT_EQ(4u, r.Attributes().size());

  // "/>" ends names and unquoted values; a "/" elsewhere belongs to them.
  OpenAtFirst(r, "<a x=1/>");
  EXPECT_EQ(XmlEvent_empty, r.Kind());
  EXPECT_EQ("1", AttributeOr(r, "x"));
  OpenAtFirst(r, "<a href=/p/q selected/>");
  EXPECT_EQ(XmlEvent_empty, r.Kind());
  EXPECT_EQ("/p/q", AttributeOr(r, "href"));
  EXPECT_EQ("", AttributeOr(r, "selected"));
  OpenAtFirst(r, "<a x=\"/\">");
  EXPECT_EQ(XmlEvent_start, r.Kind());
  EXPECT_EQ("/", AttributeOr(r, "x"));
  // Blanks of every kind separate.
  OpenAtFirst(r, "<rect\r\n\tx\n=\r\"5\"\ty='6'\r\n/>");
  EXPECT_EQ("rect", r.Name());
  EXPECT_EQ("5", AttributeOr(r, "x"));
  EXPECT_EQ("'6'", AttributeOr(r, "y"));
  EXPECT_EQ(XmlEvent_empty, r.Kind());
}

TEST(XmlEventReader, SingleQuotedValueKeepsItsQuotes) {
  XmlEventReader r;
  OpenAtFirst(r, "<a x='v' y='a b'>");
  EXPECT_EQ("'v'", AttributeOr(r, "x"));
  EXPECT_EQ("'a", AttributeOr(r, "y"));
  EXPECT_EQ("", AttributeOr(r, "b'"));
  EXPECT_EQ(3u, r.Attributes().size());
}

TEST(XmlEventReader, EntitiesInValues) {
  XmlEventReader r;
  OpenAtFirst(r,
              "<a a=\"&amp;lt;\" b=\"&quot;&lt;&gt;&apos;&amp;\" c=\"&amp;quot;&amp;amp;\" "
              "d=\"&unknown; & &amp &&lt;\" e=\"x&gt;y\" f=x&amp;y g=\"&lt;plain\" h=\"none\">");
  EXPECT_EQ("&lt;", AttributeOr(r, "a"));
  EXPECT_EQ("\"<>'&", AttributeOr(r, "b"));
  EXPECT_EQ("&quot;&amp;", AttributeOr(r, "c"));
  EXPECT_EQ("&unknown; & &amp &<", AttributeOr(r, "d"));
  EXPECT_EQ("x>y", AttributeOr(r, "e"));
  EXPECT_EQ("x&y", AttributeOr(r, "f"));
  EXPECT_EQ("<plain", AttributeOr(r, "g"));
  EXPECT_EQ("none", AttributeOr(r, "h"));
  // A link holding an apostrophe survives a save and a load.
  OpenAtFirst(r, "<a xlink:href=\"file:///C:/Bob&apos;s/a&amp;b.svg\"/>");
  EXPECT_EQ("file:///C:/Bob's/a&b.svg", AttributeOr(r, "xlink:href"));
  // The decoded values of one tag do not overwrite each other, and the
  // next tag decodes afresh.
  r.OpenBytes("<a x=\"&lt;1\" y=\"&gt;2\"/><b z=\"&amp;3\"/>");
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("<1", AttributeOr(r, "x"));
  EXPECT_EQ(">2", AttributeOr(r, "y"));
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("&3", AttributeOr(r, "z"));
  EXPECT_EQ("-", AttributeOr(r, "x"));
}

TEST(XmlEventReader, TextKeepsEntities) {
  EXPECT_EQ("1:t 4:[a&amp;b &lt;] 2:/t", Events("<t>a&amp;b &lt;</t>"));
}

TEST(XmlEventReader, PreserveKeepsLeadingBlanksAndSkipsLineEndBehindTag) {
  EXPECT_EQ("1:text 4:[  a b \t] 2:/text 4:[x]",
            Events("<text xml:space=\"preserve\">\r\n  a b \t</text>  x  "));
  EXPECT_EQ("1:t 4:[a b] 2:/t", Events("<t>\r\n  a b \r\n</t>"));
  // Inner elements stay preserving until the element that opened it ends.
  EXPECT_EQ("1:text 4:[] 1:tspan 4:[  a] 2:/tspan 4:[ b ] 2:/text 4:[c]",
            Events("<text xml:space=\"preserve\"><tspan>  a</tspan> b </text> c"));
  // The first end tag of that name closes it; nesting is not counted.
  EXPECT_EQ("1:text 4:[] 1:text 4:[ a ] 2:/text 4:[b] 2:/text 4:[c]",
            Events("<text xml:space=\"preserve\"><text> a </text> b </text> c"));
  // Only CR and LF are skipped behind a tag, blanks before a line end stay.
  EXPECT_EQ("1:text 4:[ \r\n a]", Events("<text XML:SPACE=\"preserve\">\n\r \r\n a"));
  // An empty-element tag, another value, or another end tag opens or
  // closes nothing.
  EXPECT_EQ("3:text 1:t 4:[a] 2:/t", Events("<text xml:space=\"preserve\"/><t>  a </t>"));
  EXPECT_EQ("1:t 4:[a] 2:/t", Events("<t xml:space=\"default\"> a </t>"));
  EXPECT_EQ("1:t 4:[a] 2:/t", Events("<t xml:space=\"Preserve\"> a </t>"));
  EXPECT_EQ("1:t 4:[ a ] 2:/tt 4:[ b ] 2:/t 4:[c]",
            Events("<t xml:space=\"preserve\"> a </tt> b </t> c"));
  // A new input starts without it.
  XmlEventReader r;
  r.OpenBytes("<text xml:space=\"preserve\">");
  ASSERT_TRUE(r.Next());
  EXPECT_FALSE(r.Next());
  r.OpenBytes("<t> a </t>");
  ASSERT_TRUE(r.Next());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("a", r.Text());
}

TEST(XmlEventReader, DoubleByteNamesAndValuesWhole) {
  // "ソ" and "表" end in 0x5C, "−" in 0x7C.
  std::string so = Sjis(u8"ソ表") + "\x81\x7C";
  ASSERT_EQ("\x83\x5C\x95\x5C\x81\x7C", so);
  std::string name = "z:" + Sjis(u8"図形") + so;
  std::string attr = "zerbin-" + so;
  std::string value = so + "\\" + Sjis(u8"値") + "|";
  XmlEventReader r;
  OpenAtFirst(r, "<" + name + " " + attr + "=\"" + value + "\" b=" + so + ">" + so + "</" +
                     name + ">");
  EXPECT_EQ(name, r.Name());
  EXPECT_EQ(value, AttributeOr(r, attr));
  EXPECT_EQ(so, AttributeOr(r, "b"));
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(so, r.Text());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("/" + name, r.Name());
  EXPECT_EQ(XmlEvent_end, r.Kind());
}

TEST(XmlEventReader, TextSizeCutsAtCharacterBoundary) {
  std::string so = Sjis(u8"ソソ");
  XmlEventReader r;
  OpenAtFirst(r, "<t>a" + so + "b</t>");
  ASSERT_TRUE(r.Next());
  std::string whole = "a" + so + "b";
  EXPECT_EQ(whole, r.Text());
  EXPECT_EQ(whole, r.Text(8));
  EXPECT_EQ("a" + so, r.Text(7));
  std::string first = std::string("a").append(so, 0, 2);
  EXPECT_EQ(first, r.Text(6));  // not half of the second
  EXPECT_EQ(first, r.Text(5));
  EXPECT_EQ("a", r.Text(4));
  EXPECT_EQ("a", r.Text(3));
  EXPECT_EQ("", r.Text(2));
  EXPECT_EQ("", r.Text(1));
  EXPECT_EQ("", r.Text(0));
  // The cut comes before the trimming.
  OpenAtFirst(r, "<t>ab   cd</t>");
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("ab", r.Text(6));
}

TEST(XmlEventReader, FortyFirstAttributeIsDropped) {
  std::string tag = "<rect";
  for (int i = 1; i <= 41; ++i) tag += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
  XmlEventReader r;
  OpenAtFirst(r, tag + " id=\"x\"/><next/>");
  EXPECT_EQ(XmlEventReader_maxAttributes, r.Attributes().size());
  EXPECT_EQ("40", AttributeOr(r, "a40"));
  EXPECT_EQ("-", AttributeOr(r, "a41"));
  EXPECT_EQ("-", AttributeOr(r, "id"));
  EXPECT_EQ(XmlEvent_empty, r.Kind());  // the skipped rest still ends with "/>"
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("next", r.Name());

  std::string forty = "<rect";
  for (int i = 1; i <= 40; ++i) forty += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
  OpenAtFirst(r, forty + ">");
  EXPECT_EQ(40u, r.Attributes().size());
  EXPECT_EQ(XmlEvent_start, r.Kind());
}

TEST(XmlEventReader, SkippingToTheEndOfATagMindsQuotes) {
  std::string tag = "<rect";
  for (int i = 1; i <= 40; ++i) tag += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
  XmlEventReader r;
  OpenAtFirst(r, tag + " title=\"a>b\" id=\"x\"/><next/>");
  EXPECT_EQ(40u, r.Attributes().size());
  EXPECT_EQ(XmlEvent_empty, r.Kind());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("next", r.Name());
  // The same after an unexpected character.
  EXPECT_EQ("3:a 3:b", Events("<a x=\"1\" 9=\"x>y\" z=\"2\"/><b/>"));
  EXPECT_EQ("1:a 4:[] 3:b", Events("<a \"quoted > still\"><b/>"));
  // An unclosed quote in the skipped rest runs to the end.
  EXPECT_EQ("1:a", Events("<a % \"x><b/>"));
}

TEST(XmlEventReader, CommentEndsAtItsOwnTerminator) {
  EXPECT_EQ("3:!-- 4:[] 3:rect", Events("<!--x--><rect id=\"r\"/>"));
  EXPECT_EQ("3:!-- 4:[] 3:rect", Events("<!---->\r\n<rect/>"));
  EXPECT_EQ("3:!-- 4:[] 3:rect", Events("<!-- <a> x=\"-- > --><rect/>"));
  EXPECT_EQ("1:t 4:[ab] 3:!-- 4:[de] 2:/t", Events("<t>ab<!--c-->de</t>"));
  XmlEventReader r;
  OpenAtFirst(r, "<!--a b=\"c\"--><x/>");
  EXPECT_EQ("!--", r.Name());
  EXPECT_EQ(XmlEvent_empty, r.Kind());
  EXPECT_TRUE(r.Attributes().empty());
  EXPECT_EQ(14u, r.EndOffset());
  // Unclosed: to the end of the input.
  OpenAtFirst(r, "<!-- <rect/> -- >");
  EXPECT_EQ(17u, r.EndOffset());
  EXPECT_FALSE(r.Next());
}

TEST(XmlEventReader, LongValueIsWholeAndLaterAttributesStay) {
  std::string data = "data:;base64,";
  for (size_t i = 0; data.size() < (1u << 20); ++i) data += static_cast<char>('A' + i % 26);
  std::string input = "<image xlink:href=\"" + data + "\" transform=\"rotate(30)\" x=\"&lt;\"/><rect/>";
  XmlEventReader r;
  OpenAtFirst(r, input);
  ASSERT_EQ(3u, r.Attributes().size());
  EXPECT_EQ(data.size(), AttributeOr(r, "xlink:href").size());
  EXPECT_TRUE(AttributeOr(r, "xlink:href") == data);
  EXPECT_EQ("rotate(30)", AttributeOr(r, "transform"));
  EXPECT_EQ("<", AttributeOr(r, "x"));
  EXPECT_EQ(input.size() - 7, r.EndOffset());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("rect", r.Name());
  // A long value with entities is decoded whole.
  std::string amp;
  for (int i = 0; i < 100000; ++i) amp += "&amp;";
  OpenAtFirst(r, "<a v=\"" + amp + "\" w=\"&lt;\"/>");
  EXPECT_EQ(std::string(100000, '&'), AttributeOr(r, "v"));
  EXPECT_EQ("<", AttributeOr(r, "w"));
}

TEST(XmlEventReader, LinesColumnsAndOffsets) {
  //                   0123 45678901234 567 8901 2
  std::string input = "<a>\n  <b x='1'\n/>\r\n<c>  te\nxt\n</c>";
  XmlEventReader r;
  r.OpenBytes(input);
  ASSERT_TRUE(r.Next());  // <a>
  EXPECT_EQ(1, r.Line());
  EXPECT_EQ(1, r.Column());
  EXPECT_EQ(0u, r.EventOffset());
  EXPECT_EQ(3u, r.EndOffset());
  ASSERT_TRUE(r.Next());  // empty text before <b
  EXPECT_EQ(XmlEvent_text, r.Kind());
  EXPECT_EQ(6u, r.EventOffset());
  EXPECT_EQ(2, r.Line());
  EXPECT_EQ(3, r.Column());
  ASSERT_TRUE(r.Next());  // <b .../>
  EXPECT_EQ("b", r.Name());
  EXPECT_EQ(6u, r.EventOffset());
  EXPECT_EQ(17u, r.EndOffset());
  EXPECT_EQ(2, r.Line());
  EXPECT_EQ(3, r.Column());
  ASSERT_TRUE(r.Next());  // <c>: skipped text behind the empty tag
  EXPECT_EQ("c", r.Name());
  EXPECT_EQ(19u, r.EventOffset());
  EXPECT_EQ(22u, r.EndOffset());
  EXPECT_EQ(4, r.Line());
  EXPECT_EQ(1, r.Column());
  ASSERT_TRUE(r.Next());  // text "te\nxt"
  EXPECT_EQ("te\nxt", r.Text());
  EXPECT_EQ(24u, r.EventOffset());
  EXPECT_EQ(22u, r.EndOffset());
  EXPECT_EQ(4, r.Line());
  EXPECT_EQ(6, r.Column());
  ASSERT_TRUE(r.Next());  // </c>, asked twice
  EXPECT_EQ(30u, r.EventOffset());
  EXPECT_EQ(6, r.Line());
  EXPECT_EQ(1, r.Column());
  EXPECT_EQ(6, r.Line());
  EXPECT_EQ(input.size(), r.EndOffset());
  EXPECT_FALSE(r.Next());

  // Places asked only now and then are the same.
  r.OpenBytes(input);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(r.Next());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(6, r.Line());
  EXPECT_EQ(1, r.Column());
  // A column behind double-byte characters counts bytes.
  r.OpenBytes(std::string("\n").append(Sjis(u8"図")).append("<a>"));
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(2, r.Line());
  EXPECT_EQ(3, r.Column());
}

TEST(XmlEventReader, SkipToCarriesOnBehindRawBytes) {
  std::string input =
      "<zerbin-ink-rawdata>\r\n<![CDATA[\r\nAB<CD\r\n]]>\r\n</zerbin-ink-rawdata>\r\n<after/>";
  XmlEventReader r;
  r.OpenBytes(input);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("zerbin-ink-rawdata", r.Name());
  size_t at = input.find("</zerbin");
  std::string_view raw = r.Bytes().substr(r.EndOffset(), at - r.EndOffset());
  EXPECT_EQ("\r\n<![CDATA[\r\nAB<CD\r\n]]>\r\n", raw);
  r.SkipTo(at);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_end, r.Kind());
  EXPECT_EQ("/zerbin-ink-rawdata", r.Name());
  EXPECT_EQ(at, r.EventOffset());
  EXPECT_EQ(5, r.Line());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_text, r.Kind());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("after", r.Name());

  // The bytes up to the next tag are not reported; an offset before the
  // end of the last tag counts as that end, one behind the input as its end.
  r.OpenBytes("<a>text<b/>more<c/>");
  ASSERT_TRUE(r.Next());
  r.SkipTo(4);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("b", r.Name());
  r.SkipTo(0);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("c", r.Name());
  r.SkipTo(1000);
  EXPECT_FALSE(r.Next());

  // Skipping behind a preserving start tag still opens the preserving state.
  r.OpenBytes("<text xml:space=\"preserve\">raw<tspan>  a</tspan>");
  ASSERT_TRUE(r.Next());
  r.SkipTo(r.EndOffset() + 3);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("tspan", r.Name());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("  a", r.Text());
}

TEST(XmlEventReader, UnclosedQuoteRunsToTheEnd) {
  XmlEventReader r;
  std::string input = "<a x=\"abc><b/>\r\n";
  OpenAtFirst(r, input);
  EXPECT_EQ(XmlEvent_start, r.Kind());
  EXPECT_EQ("abc><b/>\r\n", AttributeOr(r, "x"));
  EXPECT_EQ(input.size(), r.EndOffset());
  EXPECT_FALSE(r.Next());
  // A tag cut off anywhere ends with the input.
  for (std::string cut : {"<a", "<a ", "<a x", "<a x=", "<a x =", "<a x=\"", "<a x=v", "<a x/"}) {
    OpenAtFirst(r, cut);
    EXPECT_EQ("a", r.Name()) << cut;
    EXPECT_EQ(XmlEvent_start, r.Kind()) << cut;
    EXPECT_EQ(cut.size(), r.EndOffset()) << cut;
    EXPECT_FALSE(r.Next()) << cut;
  }
  OpenAtFirst(r, "<a/");  // "/" not followed by ">" belongs to the name
  EXPECT_EQ("a/", r.Name());
  EXPECT_EQ(XmlEvent_start, r.Kind());
}

TEST(XmlEventReader, LoneLeadByteAtTheEnd) {
  XmlEventReader r;
  OpenAtFirst(r, "<a>\x81");
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("\x81", r.Text());
  EXPECT_EQ("\x81", r.Text(3));
  EXPECT_EQ("", r.Text(2));
  EXPECT_FALSE(r.Next());
  OpenAtFirst(r, "<a x=\"\x81");
  EXPECT_EQ("\x81", AttributeOr(r, "x"));
  OpenAtFirst(r, "<a\x81");
  EXPECT_EQ("a\x81", r.Name());
  OpenAtFirst(r, "<a x=\x81");
  EXPECT_EQ("\x81", AttributeOr(r, "x"));
  // A lead byte before "<" stands alone: the text ends there.
  OpenAtFirst(r, "<a>x\x81<b/>");
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("x\x81", r.Text());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("b", r.Name());
}

TEST(XmlEventReader, TextBeforeTheFirstTagIsNotReported) {
  EXPECT_EQ("3:a 4:[b]", Events("text<a/>b"));
}

TEST(XmlEventReader, OpenReadsTheFile) {
  testing_support::TempDir dir;
  std::string path = dir.file("note.svg");
  testing_support::WriteFileBytes(path, "<svg>\r\n<rect x=\"1\"/></svg>");
  XmlEventReader r;
  r.Open(path);
  EXPECT_EQ("<svg>\r\n<rect x=\"1\"/></svg>", r.Bytes());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("svg", r.Name());
  ASSERT_TRUE(r.Next());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("1", AttributeOr(r, "x"));
  EXPECT_EQ(2, r.Line());
  r.Close();
  EXPECT_FALSE(r.Next());
  EXPECT_EQ("", r.Bytes());
}

TEST(XmlEventReader, OpenOfMissingFileRaises363) {
  testing_support::TempDir dir;
  XmlEventReader r;
  r.OpenBytes("<a/>");
  Errors_Msg e = CatchError([&] { r.Open(dir.file("missing.svg")); });
  EXPECT_EQ(FileX_Err_CannotReadOpen, e.code);
}

namespace {

// A CDATA section is one unit whatever it holds: an odd number of double
// quotes, "<", ">" and tag-like text inside it never start a tag.
TEST(XmlEventReader, CdataSectionIsOneTextEvent) {
  EXPECT_EQ(Events("<script>\n<![CDATA[\nvar s = \"a; <g id=\"x\"> if (a > b) {}\n]]>\n</script>"
                   "<g id=\"page2\"/>"),
            "1:script 4:[var s = \"a; <g id=\"x\"> if (a > b) {}] 2:/script 4:[] 3:g");
  // Directly behind a tag it is the text expected there; behind other text
  // it follows as a text event of its own; an empty one is an empty text.
  EXPECT_EQ(Events("<t><![CDATA[a\"b]]></t>"), "1:t 4:[a\"b] 2:/t");
  EXPECT_EQ(Events("<t>x <![CDATA[\"]]></t>"), "1:t 4:[x] 4:[\"] 2:/t");
  EXPECT_EQ(Events("<t><![CDATA[]]></t>"), "1:t 4:[] 2:/t");
  // Behind an empty-element tag too.
  EXPECT_EQ(Events("<a/><![CDATA[<b c=\"]]><d/>"), "3:a 4:[<b c=\"] 3:d");
  // Unclosed: it runs to the end of the input.
  EXPECT_EQ(Events("<t><![CDATA[\"<u>"), "1:t 4:[\"<u>]");
}

TEST(XmlEventReader, CdataKeepsNameOffsetsAndLines) {
  const std::string input = "<script>\r\n<![CDATA[\r\n\"\r\n]]>\r\n</script>\r\n<after/>";
  XmlEventReader r;
  OpenAtFirst(r, input);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(XmlEvent_text, r.Kind());
  EXPECT_EQ("script", r.Name());
  EXPECT_EQ(input.find("<![CDATA["), r.EventOffset());
  EXPECT_EQ(input.find("]]>") + 3, r.EndOffset());
  EXPECT_EQ(2, r.Line());
  EXPECT_EQ("\"", r.Text());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("/script", r.Name());
  EXPECT_EQ(5, r.Line());
  ASSERT_TRUE(r.Next());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ("after", r.Name());
}

}  // namespace
