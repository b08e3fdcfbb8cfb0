// The pull tokenizer of every markup file the program reads (notes,
// keyword files, style sets, HTML): tags and text in file order, no tree,
// broken markup accepted, nesting left to the caller.  The input is code
// page 932 text (UTF-16 notes are converted before they get here); it is
// held in memory whole, so callers may look at raw bytes (Bytes()) and
// carry on with Next().
//
// Events: a start tag, an end tag ("/name"), an empty-element tag, a
// declaration, processing instruction or comment ("!..." and "?..."), or
// the text between tags.
//
// The rules of the markup it reads:
// - A tag starts with "<" and an ASCII letter, "!", "/" or "?"; any other
//   "<" is no tag.  Its name runs to a blank (space, tab, CR, LF), ">",
//   "/>" or "?>".  A comment ("<!--", name "!--") ends at the first "-->"
//   behind its opener; its content gives no attributes.
// - Attributes start with an ASCII letter or "_"; the name runs to a
//   blank, "=", ">", "/>" or "?>"; an attribute without "=" has the empty
//   value.  A value in double quotes runs to the next double quote (to the
//   end of the input when there is none); any other value (single quotes
//   included, which stay part of it) runs to a blank, "=", ">", "/>" or
//   "?>".  Any other character, and a 41st attribute, make the rest of the
//   tag up to the next ">" outside double quotes be skipped.
// - A text event follows every tag, starting behind the white space that
//   follows the tag (it may be empty: "<a><b>"), except when only white
//   space follows up to the end of the input, or up to the next "<" behind
//   a tag that ended with "/>" or "?>".  Bytes that do not follow a tag
//   (before the first tag, behind a "<" that is no tag) are never reported.
// - A CDATA section ("<![CDATA[" up to the first "]]>", or to the end of
//   the input) is one unit whatever it holds (quotes, "<", ">"): it is a
//   text event of its own whose text is the content between the marks,
//   whether it stands where text is expected (directly behind a tag) or
//   behind other text.  Its event offset is its "<"; EndOffset() and the
//   next tag search lie behind its "]]>"; Name() keeps the last tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum XmlEventKind : int32_t {
  XmlEvent_none = 0,   // before the first event and after the end
  XmlEvent_start = 1,  // <name ...>
  XmlEvent_end = 2,    // </name>
  XmlEvent_empty = 3,  // <name .../>, <?...?>, <!...>, <!-- -->
  XmlEvent_text = 4,
};

// At most this many attributes of a tag are kept; later ones are dropped.
inline constexpr size_t XmlEventReader_maxAttributes = 40;

class XmlEventReader {
 public:
  XmlEventReader() = default;
  XmlEventReader(const XmlEventReader&) = delete;
  XmlEventReader& operator=(const XmlEventReader&) = delete;

  // Reads the whole file (363, FileX_Err_CannotReadOpen, when it cannot be
  // read); line 1, column 1.
  void Open(std::string_view path);
  // Reads from the given bytes (a note unpacked or converted in memory).
  void OpenBytes(std::string bytes);
  void Close();

  // Moves to the next event; false at the end of the input (and while no
  // input is open).
  bool Next();

  XmlEventKind Kind() const;
  // The name of the last tag read, as written ("svg", "/g", "!--", "?xml");
  // it stays set while a text event is current.
  const std::string& Name() const;
  // The value of the first attribute of the last tag whose name equals
  // `name` ignoring ASCII case; none when the tag has no such attribute.
  // Values are delivered whole (however long) with "&quot;", "&lt;",
  // "&gt;", "&apos;" and then "&amp;" decoded.  Names and values stay
  // valid until the next tag is read or the input is closed.
  std::optional<std::string_view> Attribute(std::string_view name) const;
  // The attributes of the last tag in the order written.
  struct Attr {
    std::string_view name;
    std::string_view value;
  };
  const std::vector<Attr>& Attributes() const;

  // The character data of the current text event (of a CDATA section: the
  // content between its marks): up to the next "<", at
  // most size - 2 bytes (never half of a double-byte character); leading
  // and trailing blanks, tabs, CR and LF removed unless an
  // xml:space="preserve" element is open.  Entities are not decoded.
  // Such an element is open from its start tag (not an empty-element tag)
  // to the end tag of the same name; while it is open only CR and LF are
  // skipped behind a tag before the text starts.
  std::string Text(size_t size = 1u << 30) const;

  // Where the current event stands: line (1 + line feeds before it),
  // column (1 + bytes since the last line feed), the offset of its first
  // byte ("<" of a tag), and the offset just behind the ">" of the last tag.
  int32_t Line() const;
  int32_t Column() const;
  size_t EventOffset() const;
  size_t EndOffset() const;

  // The whole input; and a way to carry on behind bytes a caller read
  // itself: the next event is the next tag at or after `offset` (which
  // must lie at a character boundary, at or after EndOffset(); an offset
  // before it counts as EndOffset(), one behind the input as its end).
  // Bytes between `offset` and that tag are not reported.
  std::string_view Bytes() const;
  void SkipTo(size_t offset);

 private:
  struct RawAttr {
    size_t nameAt, nameLen, valueAt, valueLen;
    bool decode;  // the value holds "&"
  };

  bool parseTag(size_t lt);
  bool cdataAt(size_t p) const;
  bool startCdata(size_t p);
  size_t skipToClose(size_t p);
  void settleTag();
  void finish();
  void countLinesTo(size_t offset) const;

  std::string bytes_;
  bool open_ = false;
  size_t pos_ = 0;      // where the next tag is searched
  size_t lastEnd_ = 0;  // behind the ">" of the last tag
  bool afterTag_ = false;  // the current event is a tag not yet settled
  XmlEventKind kind_ = XmlEvent_none;
  char closing_ = 0;    // '/' or '?' when the last tag ended with "/>" or "?>"
  std::string name_;
  std::vector<Attr> attrs_;
  std::vector<RawAttr> raw_;
  std::string values_;  // the decoded values of the last tag
  size_t eventOffset_ = 0;
  size_t textStart_ = 0;  // the first byte of the current text
  size_t textEnd_ = 0;  // the "<" (or the end) behind the current text
  bool preserve_ = false;
  std::string preserveName_;
  // Line counting, moved forward as events are asked for their place.
  mutable size_t countedTo_ = 0;
  mutable size_t lineFeeds_ = 0;
  mutable size_t lineStart_ = 0;
};
