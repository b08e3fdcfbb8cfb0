#include "document/reader/note_reader.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_numbers.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "core/xml/xml_event_reader.h"
#include "document/note/note_page.h"
#include "document/reader/note_reader_pages.h"
#include "document/reader/reader_elements.h"
#include "document/reader/reader_foreign.h"
#include "document/reader/reader_values.h"
#include "document/writer/note_bytes.h"
#include "figures/base/svg_format.h"
#include "figures/text/text_box.h"

namespace {

// Room for a page's image path made absolute (as the page holds it).
constexpr size_t kImagePathSize = Canvas_pathSize;
// Room for a link made absolute; a longer one is taken as written.
constexpr size_t kLinkSize = 4096;
// The root's size when it gives none.
constexpr int32_t kDefaultRootWidth = 500;
constexpr int32_t kDefaultRootHeight = 300;
// The writer's root is this much wider and higher than a single page.
constexpr int32_t kRootMargin = 20;
constexpr const char* kAfterClickClose = "parent.window.opener='a'; parent.window.close();";

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// "page" followed by decimal digits whose value is not 0.
bool isPageId(std::string_view id) {
  const std::optional<int32_t> n = NotePage_idNumber(id);
  return n && *n != 0;
}

// The number an attribute holds, or none when it is missing or holds no
// digits.
std::optional<int32_t> numberAttr(const XmlEventReader& xml, std::string_view name) {
  const auto v = xml.Attribute(name);
  if (!v) return std::nullopt;
  size_t used = 0;
  const int32_t n = StrX_toInt(*v, &used);
  if (used == 0) return std::nullopt;
  return n;
}

std::string textAttr(const XmlEventReader& xml, std::string_view name) {
  const auto v = xml.Attribute(name);
  return v ? std::string(*v) : std::string();
}

// The size of the first page as the root gives it (before the page's
// limits are applied).
struct RootSize {
  int64_t width = kDefaultRootWidth;
  int64_t height = kDefaultRootHeight;
};

// The format version of a root's sub_doctype ("zerbin-" and a number), or
// none.
std::optional<int32_t> versionMark(const XmlEventReader& xml) {
  const auto v = xml.Attribute("sub_doctype");
  if (!v || !startsWith(*v, "zerbin-")) return std::nullopt;
  size_t used = 0;
  const int32_t n = StrX_toInt(v->substr(7), &used);
  if (used == 0 || n < 0) return std::nullopt;
  return n;
}

// The size of the single page of a root: a written note's root is the
// margin wider and higher than its page; a foreign root is the page.
RootSize rootPageSize(const XmlEventReader& xml, bool marked) {
  RootSize s;
  if (auto w = numberAttr(xml, "width")) s.width = *w;
  if (auto h = numberAttr(xml, "height")) s.height = *h;
  if (marked) {
    s.width -= kRootMargin;
    s.height -= kRootMargin;
  }
  return s;
}

int32_t clampSize(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, Canvas_sizeMin, Canvas_sizeMax));
}

bool isFigureElement(std::string_view name) {
  return name == "line" || name == "rect" || name == "circle" || name == "ellipse" ||
         name == "image" || name == "polygon" || name == "path";
}

// The code page 932 text of UTF-16 bytes behind a two-byte mark (a last
// odd byte is dropped).  A note is mostly ASCII: those units are taken
// directly (four at a time), the runs of other units are converted
// together (so that a surrogate pair stays whole).
std::string fromUtf16(std::string_view bytes, bool bigEndian) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t end = bytes.size() & ~size_t{1};
  std::string out(end / 2, '\0');
  size_t n = 0;
  auto unitAt = [&](size_t i) {
    return static_cast<char16_t>(bigEndian ? (p[i] << 8) | p[i + 1] : p[i] | (p[i + 1] << 8));
  };
  // The bits that are 0 in four ASCII units.
  const uint64_t nonAscii = bigEndian ? 0x80FF80FF80FF80FFull : 0xFF80FF80FF80FF80ull;
  std::u16string run;
  size_t i = 2;
  while (i < end) {
    if (!bigEndian && i + 8 <= end) {
      uint64_t block;
      std::memcpy(&block, p + i, 8);
      if ((block & nonAscii) == 0) {
        for (size_t k = 0; k < 4; ++k) out[n++] = static_cast<char>(p[i + 2 * k]);
        i += 8;
        continue;
      }
    }
    const char16_t u = unitAt(i);
    if (u < 0x80) {
      out[n++] = static_cast<char>(u);
      i += 2;
      continue;
    }
    run.clear();
    for (; i < end && unitAt(i) >= 0x80; i += 2) run.push_back(unitAt(i));
    const std::string converted = Cp932_fromUtf16(run);
    // A unit gives one or two bytes: keep room for the run and one byte for
    // each unit still to come (a later run checks again).
    const size_t need = n + converted.size() + (end - i) / 2;
    if (need > out.size()) out.resize(need);
    out.replace(n, converted.size(), converted);
    n += converted.size();
  }
  out.resize(n);
  return out;
}

// --- one read ----------------------------------------------------------------

// What a group gives back when it closes.
struct GroupEntry {
  bool ink = false;
  size_t collectedMark = 0;  // the collection list's size when it opened
  size_t linkScopes = 0;     // the <a> scopes open when it opened
  ReaderPending parent;      // the pending values before it opened
};

// The link values an <a> replaced.
struct LinkScope {
  std::string link;
  std::string target;
  int32_t afterClick = 0;
  bool attachedFile = false;
  bool linkElement = false;
};

class NoteReaderRun {
 public:
  NoteReaderRun(NoteDocument& doc, std::string notePath, int32_t documentNumber,
                const NoteReadOptions& options)
      : doc_(doc),
        options_(options),
        notePath_(std::move(notePath)),
        ctx_{xml_,
             pending_,
             colours_,
             NoteDocument_defaultFormatVersion,
             notePath_,
             doc.workFolder(),
             documentNumber,
             options.counters,
             options.metrics,
             options.japanese},
        pages_(doc, options.japanese) {}

  // The event loop over `text`.
  void run(std::string text);
  // The steps after the loop.
  void finish(bool emptyFile);
  int32_t line() const { return xml_.Line(); }

 private:
  void onStart();
  void onEmpty();
  void onEnd();
  void onText();
  void flushLine();

  void onRoot();
  void onGroupStart();
  // The current <g> carries an attribute of figure wrappers.
  bool isFigureWrapper() const;
  void onGroupEnd();
  void openInkGroup();
  void writeInkLayer();
  void openPageGroup(bool backPage);
  void applyPageAttributes();
  void onLinkStart();
  void onLinkEnd();
  void onTextStart();
  void onTspanStart();
  void onInkRawData();
  void addFigure(std::unique_ptr<CadPrim> figure);
  // The figure of a shape element; a polygon that is none of the shapes
  // of the figures keeps its markup, to be kept whole after the pass.
  void addShape();
  void keepPolygons();

  std::string absoluteLink(std::string_view link) const;
  std::string absoluteImagePath(std::string_view path) const;
  bool inInk() const { return inkLayer_ != 0; }

  NoteDocument& doc_;
  const NoteReadOptions& options_;
  std::string notePath_;
  XmlEventReader xml_;
  ReaderPending pending_;
  ReaderColours colours_;
  ReaderContext ctx_;
  NoteReaderPageList pages_;

  std::vector<GroupEntry> groups_;
  std::vector<CadPrim*> collected_;
  std::vector<LinkScope> links_;
  XmlEventKind lastTag_ = XmlEvent_none;

  bool rootSeen_ = false;
  bool marked_ = false;  // the root carries the version mark
  bool pageGroupOpen_ = false;
  bool backGroupSeen_ = false;  // a back page group stood before the first page
  int32_t lastOrdinary_ = 0;    // the last ordinary page a group opened (0: none yet)

  int32_t inkLayer_ = 0;  // the open ink group's layer, 0 when none is open
  size_t inkStart_ = 0;   // behind its start tag

  Text_Box* textBox_ = nullptr;
  int32_t tspanCount_ = 0;
  bool lineOpen_ = false;  // a tspan started whose text has not come yet

  // A file of another program: read as it looks (reader_foreign.h).
  std::unique_ptr<ForeignSvgReader> foreign_;
  std::map<int32_t, std::string> polygonMarkup_;  // by figure number
  std::vector<std::string> foreignOpen_;  // the containers it opened
  bool onForeignTag();
  bool onForeignEnd();
};

void NoteReaderRun::run(std::string text) {
  xml_.OpenBytes(std::move(text));
  while (xml_.Next()) {
    const XmlEventKind kind = xml_.Kind();
    if (kind == XmlEvent_text) {
      onText();
      continue;
    }
    flushLine();
    lastTag_ = kind;
    if (kind == XmlEvent_start) {
      onStart();
    } else if (kind == XmlEvent_empty) {
      onEmpty();
    } else if (kind == XmlEvent_end) {
      onEnd();
    }
  }
  flushLine();
}

// A tspan whose text never came (an empty line) still makes its line.
void NoteReaderRun::flushLine() {
  if (lineOpen_ && textBox_ != nullptr) ReaderElements_appendText(*textBox_, "", tspanCount_);
  lineOpen_ = false;
}

void NoteReaderRun::onStart() {
  const std::string& name = xml_.Name();
  if (name == "svg" && !rootSeen_) return onRoot();
  if (name == "g" && !inInk() && xml_.Attribute(ForeignSvg_wrapperAttribute))
    return addFigure(ForeignSvg_readWrapper(xml_, options_.counters));
  if (onForeignTag()) return;
  if (name == "page" || name == "zerbin-page") return pages_.start(xml_);
  if (name == "g") return onGroupStart();
  if (name == "zerbin-ink-rawdata") return onInkRawData();
  if (inInk()) return;
  // A shape written with an end tag ("<rect ...></rect>") is the same shape.
  if (isFigureElement(name)) return addShape();
  if (name == "a") return onLinkStart();
  if (name == "text") return onTextStart();
  if (name == "tspan") return onTspanStart();
}

void NoteReaderRun::onEmpty() {
  const std::string& name = xml_.Name();
  if (name == "svg" && !rootSeen_) return onRoot();
  if (onForeignTag()) return;
  if (name == "page" || name == "zerbin-page") return pages_.empty(xml_);
  if (inInk()) return;
  if (isFigureElement(name)) addShape();
}

void NoteReaderRun::onEnd() {
  if (onForeignEnd()) return;
  const std::string& name = xml_.Name();
  if (name == "/g") return onGroupEnd();
  if (name == "/page" || name == "/zerbin-page") return pages_.end();
  if (inInk()) return;
  if (name == "/a") return onLinkEnd();
  if (name == "/text") {
    textBox_ = nullptr;
    tspanCount_ = 0;
  }
}

// A tag of a foreign file outside the page structure: the foreign reader
// makes its figures; groups and links also keep the pending values.
bool NoteReaderRun::onForeignTag() {
  if (!foreign_ || inInk()) return false;
  const std::string name = xml_.Name();
  if (name == "page" || name == "zerbin-page" || name == "zerbin-ink-rawdata") return false;
  // Page groups stay the structure of a file that has them.
  if (name == "g" && groups_.empty() && !pageGroupOpen_) {
    const auto id = xml_.Attribute("id");
    if (id && (*id == "backpage" || isPageId(*id))) return false;
  }
  const bool start = xml_.Kind() == XmlEvent_start;
  std::vector<std::unique_ptr<CadPrim>> made;
  const ForeignSvgReader::Action action = foreign_->element(made);
  for (std::unique_ptr<CadPrim>& f : made) addFigure(std::move(f));
  if (action == ForeignSvgReader::Action::Container && start) {
    foreignOpen_.push_back("/" + name);
    if (name == "g") onGroupStart();
    if (name == "a") onLinkStart();
  }
  return true;
}

bool NoteReaderRun::onForeignEnd() {
  if (!foreign_ || inInk()) return false;
  const std::string& name = xml_.Name();
  const auto open = std::find(foreignOpen_.rbegin(), foreignOpen_.rend(), name);
  // An end tag of nothing the foreign reader opened: a page group's or a
  // title list's ends the structure as in any note; others are strays.
  if (open == foreignOpen_.rend()) return name != "/g" && name != "/page" && name != "/zerbin-page";
  // Unclosed elements inside close with it.
  while (!foreignOpen_.empty()) {
    const std::string closing = std::move(foreignOpen_.back());
    foreignOpen_.pop_back();
    foreign_->close();
    if (closing == "/g") onGroupEnd();
    if (closing == "/a") onLinkEnd();
    if (closing == name) break;
  }
  return true;
}

// Text only directly behind the start tag of a text or a tspan.
void NoteReaderRun::onText() {
  if (textBox_ == nullptr || lastTag_ != XmlEvent_start) return;
  const std::string& name = xml_.Name();
  if (name == "text") {
    ReaderElements_appendText(*textBox_, xml_.Text(), 0);
  } else if (name == "tspan" && lineOpen_) {
    lineOpen_ = false;
    ReaderElements_appendText(*textBox_, xml_.Text(), tspanCount_);
  }
}

void NoteReaderRun::addShape() {
  std::unique_ptr<CadPrim> figure = ReaderElements_figure(ctx_);
  if (figure && figure->GetKind() == FigureKind_Polygon) {
    const std::string_view bytes = xml_.Bytes();
    const size_t from = xml_.EventOffset(), to = std::min(xml_.EndOffset(), bytes.size());
    std::string markup(bytes.substr(from, to - from));
    // "<polygon ...>" of a polygon with an end tag stands alone.
    if (xml_.Kind() == XmlEvent_start && markup.size() >= 2 && markup.back() == '>')
      markup.insert(markup.size() - 1, "/");
    polygonMarkup_[figure->GetNumber()] = std::move(markup);
  }
  addFigure(std::move(figure));
}

// Polygons the groups did not take as arrow heads are kept as they were
// written: a save writes them back.
void NoteReaderRun::keepPolygons() {
  if (polygonMarkup_.empty()) return;
  for (size_t i = 0; i < doc_.pageCount(); ++i) {
    FigureList& list = doc_.pageAt(i).figures;
    for (size_t k = 0; k < list.size(); ++k) {
      const CadPrim& f = list.at(k);
      const auto it = polygonMarkup_.find(f.GetNumber());
      if (f.GetKind() != FigureKind_Polygon || it == polygonMarkup_.end()) continue;
      std::unique_ptr<Foreign_Figure> kept = ForeignSvg_fromMarkup("polygon", it->second);
      if (!kept) continue;
      kept->SetNumber(f.GetNumber());
      list.remove(f);
      list.insert(k, std::move(kept));
    }
  }
}

void NoteReaderRun::addFigure(std::unique_ptr<CadPrim> figure) {
  if (!figure) return;
  CadPrim& added = doc_.workingFigures().append(std::move(figure));
  if (!groups_.empty()) collected_.push_back(&added);
}

// --- the root ----------------------------------------------------------------

void NoteReaderRun::onRoot() {
  if (rootSeen_) return;  // an inner svg of a foreign file
  rootSeen_ = true;
  Canvas& canvas = doc_.workingSettings();

  if (const auto onload = xml_.Attribute("onload")) {
    const size_t comma = onload->find(',');
    if (comma != std::string_view::npos)
      canvas.setPageInterval(StrX_toInt(onload->substr(comma + 1)));
  }
  if (const auto version = versionMark(xml_)) {
    marked_ = true;
    doc_.formatVersion = *version;
    ctx_.formatVersion = *version;
  }
  int32_t type = CanvasType_Document;
  if (const auto t = xml_.Attribute("zerbin_canvas_type")) {
    if (StrX_equalsNoCase(*t, "workspace")) type = CanvasType_WhiteBoard;
    if (StrX_equalsNoCase(*t, "menu")) type = CanvasType_Menu;
    if (StrX_equalsNoCase(*t, "desktop")) type = CanvasType_Desktop;
  }
  canvas.setCanvasType(type);

  // The window position: one number from the first character, one from the
  // seventh; a text too short for both is none.
  if (const auto wnd = xml_.Attribute("zerbin-wnd"); wnd && wnd->size() > 6) {
    doc_.windowX = StrX_toInt(*wnd);
    doc_.windowY = StrX_toInt(wnd->substr(6));
  } else {
    doc_.windowX = doc_.windowY = NoteDocument_noWindowPosition;
  }

  RootSize size = rootPageSize(xml_, marked_);
  if (!marked_ && ForeignSvg_isForeignRoot(xml_)) {
    foreign_ = std::make_unique<ForeignSvgReader>(ctx_, xml_);
    foreign_->root(size.width, size.height);
  }
  canvas.setSize(size.width, size.height);
  canvas.setSaveImageFile(absoluteImagePath(textAttr(xml_, "corr-image")));
  canvas.setClassName(textAttr(xml_, "zerbin_page_class"));
  canvas.setPubPage(textAttr(xml_, "zerbin-pub"));
  canvas.setPubFile(textAttr(xml_, "zerbin-file-pub"));

  StrX_Guid uuid;
  if (const auto u = xml_.Attribute("uuid"); u && NoteDocument_parseUuid(*u, uuid)) {
    doc_.uuid = uuid;
  }
  // else: the new uuid the note got when it was started stays.
}

// Every save regenerates the page file a page names, so only a file in the
// note's own folder tree is taken: a relative path that does not climb out
// of it, or an absolute one below it.  Any other is dropped (and logged).
std::string NoteReaderRun::absoluteImagePath(std::string_view path) const {
  if (path.empty()) return {};
  const std::string folder = StrX_parentFolder(notePath_);
  std::string out;
  // Too long for the page: 3183, reported in the BufOver form.
  StrX_makeAbsolute(out, path, folder, kImagePathSize);
  if (!ReaderValue_insideFolder(out, folder)) {
    Errors_printf("corr-image outside the note's folder ignored: %s (%s)",
                  std::string(path).c_str(), notePath_.c_str());
    return {};
  }
  return out;
}

// --- groups ------------------------------------------------------------------

bool NoteReaderRun::isFigureWrapper() const {
  for (const char* name :
       {"zerbin-figure", "href", "onclick", "pub", "class", "zerbin_formula", "zerbin_variables"}) {
    if (xml_.Attribute(name)) return true;
  }
  return false;
}

void NoteReaderRun::onGroupStart() {
  const auto id = xml_.Attribute("id");
  const std::string_view idText = id ? *id : std::string_view();
  if (groups_.empty()) {
    if (idText == SvgFormat_inkGroupId && !isFigureWrapper()) return openInkGroup();
    if (!pageGroupOpen_ && (idText == "backpage" || isPageId(idText)))
      return openPageGroup(idText == "backpage");
  }
  groups_.push_back({false, collected_.size(), links_.size(), pending_});
  if (inInk()) return;  // a stroke group of the ink: nothing pending
  if (id) pending_.id = *id;
  if (const auto v = xml_.Attribute("class")) pending_.className = *v;
  if (const auto v = xml_.Attribute("pub")) pending_.pub = *v;
  if (const auto v = xml_.Attribute("zerbin_formula")) pending_.formula = *v;
  if (const auto v = xml_.Attribute("zerbin_variables")) pending_.variables = *v;
  if (const auto href = xml_.Attribute("href")) {
    pending_.link = *href;
    pending_.linkElement = false;
  } else if (const auto onclick = xml_.Attribute("onclick")) {
    pending_.link = "script:" + std::string(*onclick);
    pending_.linkElement = false;
  }
}

void NoteReaderRun::onGroupEnd() {
  if (groups_.empty()) {
    if (!pageGroupOpen_)
      ReaderError_withMessage(xml_, notePath_, "</g> が多すぎる", options_.japanese);
    pageGroupOpen_ = false;
    pending_ = ReaderPending{};
    return;
  }
  GroupEntry& top = groups_.back();
  if (top.ink) {
    writeInkLayer();
    inkLayer_ = 0;
  } else if (!inInk()) {
    // The group's figures may be replaced: no text box stays current.
    flushLine();
    textBox_ = nullptr;
    tspanCount_ = 0;
    // The groups of other programs are only groups.
    if (!foreign_)
      ReaderElements_resolveGroup(doc_.workingFigures(), collected_, top.collectedMark, ctx_);
  }
  pending_ = std::move(top.parent);
  links_.resize(std::min(links_.size(), top.linkScopes));
  groups_.pop_back();
  if (groups_.empty()) collected_.clear();
}

void NoteReaderRun::openInkGroup() {
  const auto type = xml_.Attribute("type");
  if (type) {
    inkLayer_ = *type == "front" ? InkLayer_front : InkLayer_back;
  } else {
    inkLayer_ = doc_.currentPage()->figureCount() > 0 ? InkLayer_front : InkLayer_back;
  }
  inkStart_ = xml_.EndOffset();
  groups_.push_back({true, collected_.size(), links_.size(), pending_});
}

// The ink layer file holds the group as the file has it, behind a start tag
// of its own, so that the writer copies it back unchanged.
void NoteReaderRun::writeInkLayer() {
  const std::string_view bytes = xml_.Bytes();
  const size_t end = std::max(inkStart_, std::min(xml_.EndOffset(), bytes.size()));
  std::string out = "\t<g id=\"zerbin-ink\" type=\"";
  out += inkLayer_ == InkLayer_front ? "front" : "back";
  out += "\">";
  out.append(bytes.substr(inkStart_, end - inkStart_));
  out += "\r\n";
  FileX_writeWhole(doc_.inkLayerPath(doc_.currentPageNumber(), inkLayer_), out);
}

void NoteReaderRun::openPageGroup(bool backPage) {
  pageGroupOpen_ = true;
  pending_ = ReaderPending{};
  if (backPage) {
    if (lastOrdinary_ == 0) {
      // Read into page 1; the first page group moves it to the back page.
      backGroupSeen_ = true;
    } else if (!doc_.hasBackPage()) {
      doc_.ToggleBackPage(options_.japanese);
    } else {
      doc_.SelectPage(0);
    }
  } else if (lastOrdinary_ == 0) {
    // The first page: what was read before it is the back page's.
    if (backGroupSeen_ || doc_.currentPage()->figureCount() > 0) {
      doc_.ToggleBackPage(options_.japanese);
      doc_.ExchangeBackPageAndFirst();
      doc_.SelectPage(1);
    }
    lastOrdinary_ = 1;
  } else {
    if (doc_.currentPageNumber() != lastOrdinary_) doc_.SelectPage(lastOrdinary_);
    lastOrdinary_ = doc_.AddPage(AddPage_next);
  }
  applyPageAttributes();
}

// A page group's size and settings; a size it does not give stays as the
// page has it (the previous page's, or the root's for the first page).
void NoteReaderRun::applyPageAttributes() {
  Canvas& canvas = doc_.workingSettings();
  const auto w = numberAttr(xml_, "width");
  const auto h = numberAttr(xml_, "height");
  canvas.setSize(w ? *w : canvas.width(), h ? *h : canvas.height());
  canvas.setSaveImageFile(absoluteImagePath(textAttr(xml_, "corr-image")));
  canvas.setClassName(textAttr(xml_, "zerbin_page_class"));
  canvas.SetId(textAttr(xml_, "id2"));
  canvas.setPubPage(textAttr(xml_, "zerbin-pub"));
}

// --- links -------------------------------------------------------------------

std::string NoteReaderRun::absoluteLink(std::string_view link) const {
  if (link.empty() || link[0] == '%') return std::string(link);
  std::string out;
  bool fits = true;
  Except_tryCatch([&] { StrX_resolveLink(out, link, notePath_, kLinkSize); },
                  [&](const Errors_Msg& e) {
                    if (e.code != StrX_Err_BufOver) Except_throw(e);
                    fits = false;
                  });
  return fits ? out : std::string(link);
}

void NoteReaderRun::onLinkStart() {
  links_.push_back({pending_.link, pending_.target, pending_.afterClick, pending_.attachedFile,
                    pending_.linkElement});
  auto href = xml_.Attribute("zerbin_vhref");
  if (!href) href = xml_.Attribute("xlink:href");
  if (!href && foreign_) href = xml_.Attribute("href");
  // A bare <a> (the form of "#" and script links) keeps the link of its
  // group.
  if (!href) return;
  pending_.link = absoluteLink(*href);
  pending_.target = textAttr(xml_, "target");
  pending_.linkElement = true;
  int32_t after = 0;
  if (const auto onclick = xml_.Attribute("onclick"); onclick && *onclick == kAfterClickClose)
    after += 1;
  if (const auto open = xml_.Attribute("zerbin-onclick"); open && *open == "NewView") after += 2;
  pending_.afterClick = after;
  const auto file = xml_.Attribute("zerbin-file");
  pending_.attachedFile = file && *file != "0";
}

void NoteReaderRun::onLinkEnd() {
  if (links_.empty()) {
    pending_.link.clear();
    pending_.target.clear();
    pending_.linkElement = false;
    pending_.afterClick = 0;
    pending_.attachedFile = false;
    return;
  }
  LinkScope& s = links_.back();
  pending_.link = std::move(s.link);
  pending_.target = std::move(s.target);
  pending_.linkElement = s.linkElement;
  pending_.afterClick = s.afterClick;
  pending_.attachedFile = s.attachedFile;
  links_.pop_back();
}

// --- text --------------------------------------------------------------------

void NoteReaderRun::onTextStart() {
  std::unique_ptr<Text_Box> box = ReaderElements_textStart(ctx_);
  if (!box) return;
  Text_Box* raw = box.get();
  addFigure(std::move(box));
  textBox_ = raw;
  tspanCount_ = 0;
  lineOpen_ = false;
}

void NoteReaderRun::onTspanStart() {
  if (textBox_ == nullptr) ReaderError_unsupported(options_.japanese);
  ++tspanCount_;
  ReaderElements_tspanStart(*textBox_, ctx_, tspanCount_);
  lineOpen_ = true;
}

// --- ink ---------------------------------------------------------------------

// The raw ink block: the lines behind the start tag up to its end tag,
// without the CDATA marks, blanks and line ends (the Base64 text of the
// page's ink).  The events go on behind the end tag; without one the block
// runs to the end of the file.
void NoteReaderRun::onInkRawData() {
  static constexpr std::string_view kEndTag = "</zerbin-ink-rawdata>";
  const std::string_view bytes = xml_.Bytes();
  size_t at = std::min(xml_.EndOffset(), bytes.size());
  std::string data;
  bool closed = false;
  while (at < bytes.size() && !closed) {
    const size_t lf = bytes.find('\n', at);
    size_t next = lf == std::string_view::npos ? bytes.size() : lf + 1;
    std::string_view line = bytes.substr(at, next - at);
    if (const size_t end = line.find(kEndTag); end != std::string_view::npos) {
      line = line.substr(0, end);
      next = at + end + kEndTag.size();
      closed = true;
    }
    at = next;
    while (!line.empty() && StrX_isSpace(line.back())) line.remove_suffix(1);
    while (!line.empty() && StrX_isSpace(line.front())) line.remove_prefix(1);
    if (startsWith(line, "<![CDATA[")) line.remove_prefix(9);
    if (line.size() >= 3 && line.substr(line.size() - 3) == "]]>") line.remove_suffix(3);
    data += line;
  }
  doc_.currentPage()->inkData = std::move(data);
  if (!closed) {
    UserPrompts& prompts = options_.prompts ? *options_.prompts : UserPrompts_get();
    prompts.messageBox("feof", "", PromptButtons::Ok, PromptIcon::None, PromptAnswer::Ok, 0);
  }
  xml_.SkipTo(at);
}

// --- after the events --------------------------------------------------------

void NoteReaderRun::finish(bool emptyFile) {
  if (!rootSeen_ && !emptyFile) ReaderError_unsupported(options_.japanese);
  groups_.clear();
  collected_.clear();
  textBox_ = nullptr;

  // Every page has both ink layer files.
  for (size_t i = 0; i < doc_.pageCount(); ++i) {
    const int32_t n = doc_.pageNumberAt(i);
    for (const int32_t layer : {InkLayer_back, InkLayer_front}) {
      const std::string path = doc_.inkLayerPath(n, layer);
      if (!FileX_isFile(path)) FileX_writeWhole(path, "");
    }
  }
  pages_.finish();
  keepPolygons();
  if (foreign_) {
    std::vector<FigureList*> lists;
    for (size_t i = 0; i < doc_.pageCount(); ++i) lists.push_back(&doc_.pageAt(i).figures);
    foreign_->finish(lists);
  }
  // Every page is ready to be shown or saved again.
  for (size_t i = 0; i < doc_.pageCount(); ++i)
    ReaderElements_connectLoadedLinks(doc_.pageAt(i).figures, doc_.formatVersion);
}

// Detaches the view's ink component while the pages are filled (storing a
// page would otherwise rewrite its ink layer files from the component) and
// hands it back.
class InkManagerDetach {
 public:
  explicit InkManagerDetach(NoteDocument& doc) : doc_(doc), saved_(doc.inkManager) {
    doc_.inkManager = nullptr;
  }
  ~InkManagerDetach() { restore(); }
  InkManagerDetach(const InkManagerDetach&) = delete;
  InkManagerDetach& operator=(const InkManagerDetach&) = delete;
  void restore() {
    if (saved_ != nullptr) doc_.inkManager = saved_;
    saved_ = nullptr;
  }
  InkManager* manager() const { return saved_; }

 private:
  NoteDocument& doc_;
  InkManager* saved_;
};

std::string absoluteNotePath(std::string_view path) {
  std::string out;
  if (StrX_isAbsolutePath(path)) return std::string(path);
  StrX_absoluteFromCurrentFolder(out, path, kLinkSize);
  return out;
}

}  // namespace

namespace {

// The encoding the XML declaration names, lower case ("" without one).
std::string declaredEncoding(std::string_view bytes) {
  if (!startsWith(bytes, "<?xml")) return {};
  const std::string_view decl = bytes.substr(0, bytes.find("?>"));
  const size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  size_t i = decl.find_first_of("\"'", at);
  if (i == std::string_view::npos) return {};
  const size_t end = decl.find(decl[i], i + 1);
  if (end == std::string_view::npos) return {};
  std::string out(decl.substr(i + 1, end - i - 1));
  StrX_lowerAscii(out);
  return out;
}

// The program's own notes are code page 932 whatever they declare.
bool isMarkedNote(std::string_view bytes) {
  const size_t root = bytes.find("<svg");
  if (root == std::string_view::npos) return false;
  const size_t end = bytes.find('>', root);
  return bytes.substr(root, end == std::string_view::npos ? bytes.npos : end - root)
             .find("sub_doctype=\"zerbin-") != std::string_view::npos;
}

bool isAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Text without a byte-order mark: as the declaration says; with none (or
// one that names UTF-8 or UTF-16, which without a mark can only be
// wrong) UTF-8 when the bytes are UTF-8, else code page 932, which older
// notes are written in.  Characters code page 932 cannot hold become "?"
// here, once.
std::string decodeDeclared(std::string bytes) {
  if (isAscii(bytes) || isMarkedNote(bytes)) return bytes;
  const std::string encoding = declaredEncoding(bytes);
  static const char* const kShiftJis[] = {"shift_jis", "shift-jis", "sjis",  "x-sjis",
                                          "cp932",     "ms932",     "ms_kanji", "windows-31j",
                                          "csshiftjis"};
  for (const char* name : kShiftJis)
    if (encoding == name) return Cp932_normalise(bytes);
  const bool utf = encoding.empty() || startsWith(encoding, "utf-8") || encoding == "utf8" ||
                   startsWith(encoding, "utf-16") || encoding == "unicode";
  if (!utf) {
    if (const std::optional<std::string> utf8 = Charset_toUtf8(bytes, encoding))
      return Cp932_fromUtf8(*utf8);
  }
  if (Utf8_isValid(bytes)) return Cp932_fromUtf8(bytes);
  return Cp932_normalise(bytes);
}

}  // namespace

std::string NoteReader_documentText(std::string_view path, size_t unpackLimit) {
  std::string bytes = FileX_readWhole(path);
  if (NoteBytes_isSvgz(path) && bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
      static_cast<unsigned char>(bytes[1]) == 0x8B) {
    bytes = NoteBytes_gunzip(bytes, unpackLimit);
  }
  if (bytes.size() >= 2) {
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF))
      return fromUtf16(bytes, b0 == 0xFE);
  }
  if (bytes.size() >= 3 && startsWith(bytes, "\xEF\xBB\xBF"))
    return Cp932_fromUtf8(std::string_view(bytes).substr(3));
  return decodeDeclared(std::move(bytes));
}

void NoteReader_read(NoteDocument& doc, int32_t documentNumber, std::string_view path,
                     const NoteReadOptions& options) {
  if (!FileX_exists(path)) Errors_RAISE(FileX_Err_CannotReadOpen, "%s", "");
  const std::string notePath = absoluteNotePath(path);
  const bool emptyFile = FileX_fileSize(notePath) == 0;

  InkManagerDetach detach(doc);
  const bool ink = doc.inkEnabled;
  // A note never started has no files (and no number of its own yet).
  if (!doc.closed()) doc.ClearDocument();
  // Files a note of this number left behind are not this note's.
  InkLayerFiles(doc.workFolder(), documentNumber).deleteAll();
  doc.NewDocument(documentNumber, ink);
  FileX_deleteFiles(doc.imageNamePrefix() + "*");
  if (emptyFile) doc.formatVersion = 300;
  if (ink && detach.manager() != nullptr) detach.manager()->clearInk();

  Except_tryCatch(
      [&] {
        std::string text = NoteReader_documentText(notePath, options.unpackLimit);
        const bool emptyText = text.empty();
        NoteReaderRun run(doc, notePath, documentNumber, options);
        Except_tryCatch([&] { run.run(std::move(text)); },
                        [&](const Errors_Msg& e) {
                          if (e.code != StrX_Err_BufOver) Except_throw(e);
                          Errors_RAISE(CZerbinApp_Err_Format, "BufOver ERROR in (%d) %s",
                                       run.line(), notePath.c_str());
                        });
        run.finish(emptyFile || emptyText);
      },
      [&](const Errors_Msg& e) {
        // What was read stays, in a note that can be used: a sound tree and
        // a current page.
        if (!doc.checkTree().empty()) NoteReader_flattenTree(doc);
        if (doc.currentPage() == nullptr) doc.SelectPage(1);
        Except_throw(e);
      });

  doc.SelectPage(-1);
  detach.restore();
  doc.SelectPage(1);
}

bool NoteReader_probePageSize(std::string_view path, int32_t& width, int32_t& height,
                              size_t unpackLimit) {
  XmlEventReader xml;
  xml.OpenBytes(NoteReader_documentText(path, unpackLimit));
  bool rootSeen = false;
  bool pageOpen = false;
  int32_t pagesSeen = 0;
  size_t depth = 0;
  while (xml.Next()) {
    const XmlEventKind kind = xml.Kind();
    const std::string& name = xml.Name();
    if ((kind == XmlEvent_start || kind == XmlEvent_empty) && name == "svg" && !rootSeen) {
      rootSeen = true;
      RootSize s = rootPageSize(xml, versionMark(xml).has_value());
      if (!versionMark(xml) && ForeignSvg_isForeignRoot(xml))
        ForeignSvg_rootSize(xml, s.width, s.height);
      width = clampSize(s.width);
      height = clampSize(s.height);
    } else if (kind == XmlEvent_start && name == "g") {
      const auto id = xml.Attribute("id");
      if (depth == 0 && !pageOpen && id && isPageId(*id)) {
        pageOpen = true;
        if (++pagesSeen == 2) return true;
        if (const auto w = numberAttr(xml, "width")) width = clampSize(*w);
        if (const auto h = numberAttr(xml, "height")) height = clampSize(*h);
      } else if (depth == 0 && !pageOpen && id && *id == "backpage") {
        pageOpen = true;
      } else {
        ++depth;
      }
    } else if (kind == XmlEvent_end && name == "/g") {
      if (depth > 0) {
        --depth;
      } else {
        pageOpen = false;
      }
    }
  }
  return false;
}
