#include "export/html/html_export.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/filex/filex_info.h"
#include "core/filex/text_file.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_escape.h"
#include "core/strx/strx_fields.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "document/note/note_document.h"
#include "document/writer/link_rewrite.h"
#include "document/writer/link_table.h"
#include "document/writer/note_writer.h"
#include "document/writer/publication_filter.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"

namespace {

constexpr int kBadAttr = 596;  // a malformed link-replacement file

using Values = std::vector<std::pair<std::string, std::string>>;

std::string escapeHtml(std::string_view text, int flags) {
  std::string out;
  StrX_htmlEscape(out, text, text.size() * 7 + 1, flags);
  return out;
}

// Text put into a template: it may stand in an attribute or in the text.
std::string attr(std::string_view text) { return StrX_htmlAttr(text); }


std::string stem(std::string_view path) {
  std::string name = StrX_fileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// Every placeholder of `text` replaced in one pass: a value put in is not
// searched again (a title may hold "%path%").
std::string fillPlaceholders(std::string_view text, const Values& values) {
  std::string out;
  out.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    bool replaced = false;
    if (text[at] == '%') {
      for (const auto& [key, value] : values) {
        if (text.compare(at, key.size(), key) == 0) {
          out += value;
          at += key.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[at++];
  }
  return out;
}

// A template of the installation with its placeholders filled; none when
// the file does not exist.
std::optional<std::string> readTemplate(const std::string& folder, const char* name,
                                        const Values& values) {
  if (folder.empty()) return std::nullopt;
  const std::string path = StrX_joinPath(folder, name);
  if (!FileX_isFile(path)) return std::nullopt;
  return fillPlaceholders(FileX_readWhole(path), values);
}
std::string requiredTemplate(const std::string& folder, const char* name, const Values& values) {
  auto text = readTemplate(folder, name, values);
  if (!text) FileX_readWhole(StrX_joinPath(folder, name));  // raises the open error
  return text ? *text : std::string();
}

// Creates the folders of a file; a folder that cannot be made fails the
// file itself.
void makeFoldersOf(const std::string& file) {
  if (!FileX_makeFolders(file, true)) FileX_raiseOpenError(file, true, errno);
}

// One page record that the export writes.
struct Heading {
  const Text_Box* box = nullptr;
  int32_t number = 0;
};

// A text box is a heading when "head" is one of its classes.
bool isHeading(const CadPrim& f) {
  if (f.GetKind() != FigureKind_Text) return false;
  const auto* box = dynamic_cast<const Text_Box*>(&f);
  if (!box) return false;
  const std::string classes = StrX_lowerAsciiCopy(box->className);
  size_t at = 0;
  while (at < classes.size()) {
    const size_t end = std::min(classes.find_first_of(" \t,", at), classes.size());
    if (classes.compare(at, end - at, "head") == 0) return true;
    at = end + 1;
  }
  return false;
}

struct Written {
  size_t index = 0;
  std::vector<Heading> headings;  // in reading order
  int32_t headingNumber = 1;      // its first heading's, or the last before it
  int32_t number = 0;     // the export's page number (from 1)
  bool published = false; // passes the page test (tree arrays, parts)
  std::vector<bool> figures;
  // The search form's keyword box: written as part of the form, it takes
  // no figure index (pictures after it count without it).
  const CadPrim* keywordBox = nullptr;
};

class Exporter {
 public:
  Exporter(NoteDocument& doc, std::string_view outputPath, const HtmlExportOptions& options,
           HtmlExportHost& host)
      : doc_(doc), output_(outputPath), options_(options), host_(host) {}

  bool run();

 private:
  bool published(size_t index, std::vector<bool>* figures) const;
  bool inRange(size_t index) const;
  void plan();
  void collectHeadings();
  void headingLink(int32_t number);
  const Text_Box* keywordBoxOf(const CadPrim* form) const;
  void form(const CadPrim& figure, const Text_Box* keywordBox, int32_t y, int32_t pageNumber,
            int32_t index);
  void openPageFile();
  void pageFileHead();
  void pageFileFoot();
  void flushPageFile();
  void pageBlock(size_t w, int32_t y);
  void treeEntry(const Written& p);
  void treeFoot();
  void keywordEntry(const Written& p);
  std::vector<std::pair<const char*, std::optional<std::string>*>> sideFiles() {
    const auto& n = HtmlExport_sideFileNames;
    return {{n[0], &links_}, {n[1], &ids_}, {n[2], &repurl_}, {n[3], &hhp_}, {n[4], &hhk_}};
  }
  void openSideFiles();
  void closeSideFiles(bool raise);
  bool ownsPath(std::string_view listed, std::string_view base) const;
  std::string othersEntries(std::string_view name, std::string_view text) const;
  std::string pageFileName(int32_t fileNo) const {
    return StrX_format("%s_%02d.%s", x_.c_str(), fileNo, ext_.c_str());
  }
  const Written* writtenOf(const NotePage* page) const {
    auto it = byPage_.find(page);
    return it == byPage_.end() ? nullptr : &written_[it->second];
  }

  NoteDocument& doc_;
  std::string output_;
  const HtmlExportOptions& options_;
  HtmlExportHost& host_;
  std::optional<std::string_view> name_;
  std::string fileList_;

  std::string folder_, x_, ext_, n_, files_, script_;
  std::string treeImageFolder_, treeImageExt_ = "png";
  bool mht_ = false;
  int32_t limit_ = HtmlExport_heightLimit;
  std::vector<Written> written_;
  int32_t headingCount_ = 0;
  std::unordered_map<const NotePage*, size_t> byPage_;

  VmlWriteContext ctx_;
  int32_t fileNo_ = 1;
  std::string pagePath_;  // the current page file
  bool pageWritten_ = false;
  std::optional<std::string> tree_, keywords_, links_, ids_, repurl_, hhp_, hhk_;
};

bool Exporter::published(size_t index, std::vector<bool>* figures) const {
  const NotePage& page = doc_.pageAt(index);
  const std::string& pageList = page.settings().pubPage();
  bool any = false;
  for (size_t f = 1; f < page.figures.size(); ++f) {
    const bool on =
        PublicationFilter_figurePublished(fileList_, pageList, page.figures.at(f).GetPub(), name_);
    if (figures) figures->push_back(on);
    any = any || on;
  }
  return PublicationFilter_pagePublished(fileList_, pageList, any, name_);
}

bool Exporter::inRange(size_t index) const {
  if (options_.pageRanges.empty()) return true;
  const int32_t number = doc_.pageNumberAt(index);
  return std::any_of(options_.pageRanges.begin(), options_.pageRanges.end(),
                     [number](const auto& r) { return number >= r.first && number <= r.second; });
}

void Exporter::plan() {
  int32_t n = 1;
  for (size_t i = 0; i < doc_.pageCount(); ++i) {
    if (doc_.pageNumberAt(i) == 0 || !inRange(i)) continue;
    Written w;
    w.index = i;
    w.published = published(i, &w.figures);
    if (!w.published && doc_.pageAt(i).figureCount() > 0) continue;
    w.number = n++;
    byPage_[&doc_.pageAt(i)] = written_.size();
    written_.push_back(std::move(w));
  }
}

void Exporter::collectHeadings() {
  int32_t last = 0;
  for (Written& w : written_) {
    const NotePage& page = doc_.pageAt(w.index);
    if (w.published) {
      for (size_t f = 1; f < page.figures.size(); ++f) {
        if (w.figures[f - 1] && isHeading(page.figures.at(f)))
          w.headings.push_back({static_cast<const Text_Box*>(&page.figures.at(f)), 0});
      }
      std::stable_sort(w.headings.begin(), w.headings.end(), [](const Heading& a, const Heading& b) {
        const int32_t ay = a.box->GetEdge(7), by = b.box->GetEdge(7);
        return ay != by ? ay < by : a.box->GetEdge(6) < b.box->GetEdge(6);
      });
      for (Heading& h : w.headings) h.number = ++last;
    }
    w.headingNumber = w.headings.empty() ? std::max(last, 1) : w.headings.front().number;
  }
  headingCount_ = last;
}

// The link from a page back to its place in the heading tree (the tree
// lies beside the page files).
void Exporter::headingLink(int32_t number) {
  // A note without headings has no place in the tree to point at.
  const std::string place = headingCount_ > 0 ? StrX_format("#zerbin_index_p%d", number) : "";
  ctx_.printf("<A style=\"text-decoration: none;\" href=\"%s%s\" target=\"index\">"
              "←</A></DIV>\r\n",
              attr(x_ + "_tree.html").c_str(), place.c_str());
}

// The text box that the search form's "name=?" parameter names (its id),
// anywhere on the note; null when there is none.
const Text_Box* Exporter::keywordBoxOf(const CadPrim* formFigure) const {
  if (!formFigure) return nullptr;
  const std::string link = formFigure->GetUrl();
  const size_t q = link.find("=?");
  const size_t start = link.find_last_of("?&", q == 0 ? 0 : q - 1);
  if (start == std::string::npos || start >= q) return nullptr;
  const std::string name = link.substr(start + 1, q - start - 1);
  const int32_t number = doc_.FindPageByName(name);
  const NotePage* page = number < 0 ? nullptr : doc_.page(number);
  if (!page) return nullptr;
  const CadPrim* f = NoteDocument_findFigureById(page->figures, name);
  return f && f->GetKind() == FigureKind_Text ? dynamic_cast<const Text_Box*>(f) : nullptr;
}

// A search form: the link's address, its parameters as inputs and the
// figure itself as the button.
void Exporter::form(const CadPrim& figure, const Text_Box* keywordBox, int32_t y,
                    int32_t pageNumber, int32_t index) {
  const std::string link = figure.GetUrl();
  const size_t q = link.find('?');
  // The address is rewritten as any link (made relative to the page file).
  std::string action = link.substr(0, q);
  std::string href;
  if (ctx_.rewriteLink && ctx_.rewriteLink(href, action, "", ctx_) == RewriteLink_write) action = href;
  ctx_.printf("<FORM action=\"%s\">\r\n", attr(action).c_str());
  std::string rest = q == std::string::npos ? "" : link.substr(q + 1);
  size_t at = 0;
  while (at <= rest.size() && !rest.empty()) {
    size_t end = rest.find('&', at);
    if (end == std::string::npos) end = rest.size();
    const std::string pair = rest.substr(at, end - at);
    const size_t eq = pair.find('=');
    const std::string name = pair.substr(0, eq), value = eq == std::string::npos ? "" : pair.substr(eq + 1);
    if (value == "?" && keywordBox) {
      const TextBoxFrameBounds b = keywordBox->FrameBounds();
      ctx_.printf("<INPUT style=\"position:absolute; margin-left:%dpx; margin-top:%dpx; width:%dpx; "
                  "height:%dpx\"\r\n       type=\"text\" name=\"%s\" value=\"\"/>\r\n",
                  b.left, y + b.top, b.right - b.left + 1, b.bottom - b.top + 1, attr(name).c_str());
    } else {
      ctx_.printf("<INPUT type=\"hidden\" name=\"%s\" value=\"%s\"/>\r\n", attr(name).c_str(),
                  value == "?" ? "キーワードを入力するテキストボックスが見つかりません"
                               : attr(value).c_str());
    }
    at = end + 1;
  }
  if (figure.GetKind() == FigureKind_Text) {
    const auto& box = static_cast<const Text_Box&>(figure);
    const TextBoxFrameBounds b = box.FrameBounds();
    ctx_.printf("<INPUT style=\"position:absolute; margin-left:%dpx; margin-top:%dpx; width:%dpx; "
                "height:%dpx\"\r\n       type=\"submit\" value=\"%s\"/>\r\n",
                b.left - 1, y + b.top - 1, b.right - b.left + 3, b.bottom - b.top + 3,
                attr(box.text()).c_str());
  } else if (const auto* r = dynamic_cast<const Rect_Ex*>(&figure); r && r->shape == RectShape_Image) {
    // The picture is named as any picture of the page ("NN/imageMM.ext"
    // beside the page files, the part's Content-Location in an archive),
    // so that the button shows it in both.
    const std::string& source = r->embedImage ? r->workImagePath : r->imagePath;
    const std::string name = RectEx_pictureExportName(pageNumber, index, source, ctx_.lowerPath);
    if (!mht_) {
      const std::string target = StrX_joinPath(StrX_joinPath(folder_, files_), name);
      FileX_makeFolders(target, true);
      if (!FileX_copyFile(target, source)) FileX_raiseOpenError(target, true, errno);
    }
    ctx_.printf("<INPUT style=\"position:absolute; margin-left:%dpx; margin-top:%dpx; width:%dpx; "
                "height:%dpx\"\r\n       type=\"image\" src=\"%s\" alt=\"%s\"/>\r\n",
                r->x, y + r->y, r->width, r->height, attr(name).c_str(),
                attr(StrX_fileName(r->imagePath)).c_str());
  }
  ctx_.put("</FORM>\r\n");
}

void Exporter::pageFileHead() {
  const std::string rel = mht_ ? StrX_fileName(output_) : files_ + "/" + StrX_fileName(pagePath_);
  const Values values = {{"%title%", attr(n_)},
                         {"%frame_path%", attr("../" + StrX_fileName(output_))},
                         {"%tree_path%", attr(files_ + "/" + x_ + "_tree.html")},
                         {"%path%", attr(rel)}};
  if (auto t = readTemplate(script_, mht_ ? "vml_1_head_ns.txt" : "vml_1_head.txt", values)) {
    ctx_.put(*t);
  } else {
    ctx_.put("<HTML lang=\"ja\" xmlns:v=\"urn:schemas-microsoft-com:vml\">\r\n<HEAD>\r\n");
    ctx_.printf("<TITLE>%s</TITLE> \r\n", escapeHtml(n_, 0).c_str());
    ctx_.put("<STYLE type=\"text/css\">\r\n<!-- v\\:* { behavior: url(#default#VML); } -->\r\n"
             "</STYLE>\r\n</HEAD>\r\n<BODY>\r\n");
  }
  if (!mht_) {
    ctx_.printf("<DIV style=\"position:absolute; margin-left:0px; margin-top:%dpx; color:red; "
                "font-size:8pt;\">\r\n",
                8);
    ctx_.put("(for Internet Explorer)</DIV>\r\n");
    ctx_.printf("<v:rect style=\"position:absolute; margin-left:0px; margin-top:%dpx; "
                "width:130px; height:16px;\" fillcolor=\"white\" strokecolor=\"white\"/>\r\n\r\n",
                8);
  }
  ctx_.put("<PAGESET>\r\n \r\n");
}

void Exporter::pageFileFoot() {
  if (!pageWritten_) ctx_.put("<BR><BR>（非公開情報のためカットされました） \r\n \r\n");
  ctx_.put("</PAGESET>\r\n\r\n");
  ctx_.printf("<TABLE height=\"100%%\" style=\"position:absolute; margin-top:%dpx\"><TR><TD>"
              "</TD></TR></TABLE>\r\n",
              ctx_.contentBottom);
  ctx_.put("\r\n</BODY>\r\n</HTML> \r\n \r\n");
  if (!mht_) return;
  ctx_.put("\r\n");
  MhtmlWriteContext parts;
  static_cast<VmlWriteContext&>(parts) = ctx_;
  parts.out.clear();
  // The back page's pictures, shown on the first written page as page 0.
  if (doc_.hasBackPage() && !written_.empty()) {
    const NotePage& bp = doc_.pageAt(0);
    const std::string& firstList = doc_.pageAt(written_.front().index).settings().pubPage();
    parts.pageNumber = 0;
    int32_t index = 1;
    for (size_t f = 1; f < bp.figures.size(); ++f) {
      if (PublicationFilter_figurePublished(fileList_, firstList, bp.figures.at(f).GetPub(), name_))
        bp.figures.at(f).WriteMhtmlPart(parts, index++);
    }
  }
  for (const Written& w : written_) {
    if (!w.published) continue;
    const NotePage& page = doc_.pageAt(w.index);
    parts.pageNumber = w.number;
    int32_t index = 1;
    for (size_t f = 1; f < page.figures.size(); ++f) {
      if (!w.figures[f - 1] || &page.figures.at(f) == w.keywordBox) continue;
      page.figures.at(f).WriteMhtmlPart(parts, index++);
    }
  }
  ctx_.put(parts.out);
  ctx_.put("------=_NextPart_<Zerbin>--\r\n \r\n");
}

void Exporter::flushPageFile() {
  FileX_writeWhole(pagePath_, ctx_.out);
  ctx_.out.clear();
}

void Exporter::openPageFile() {
  pagePath_ = mht_ ? output_ : StrX_joinPath(folder_, files_ + "/" + pageFileName(fileNo_));
  ctx_.notePath = pagePath_;
  ctx_.outputPath = pagePath_;
  ctx_.out.clear();
  pageFileHead();
}

void Exporter::pageBlock(size_t k, int32_t y) {
  const Written& p = written_[k];
  const NotePage& page = doc_.pageAt(p.index);
  const int32_t n = p.number, w = page.settings().width(), h = page.settings().height();
  const bool hasNext = k + 1 < written_.size();
  const bool lastOfFile = !mht_ && y + h + 16 > limit_;
  ctx_.printf("<!-- page %d --> \r\n<PAGE>\r\n", n);
  const bool headingMode = tree_ && options_.headingTree;
  if (!tree_) {
    ctx_.printf("<A id=\"zerbin_vml_p%d\" class=\"to_tree\" style=\"margin-top:%dpx;\">←</A>\r\n",
                n, y - 11);
  } else if (headingMode && y > 0) {
    // The page keeps its anchor: the arrows of the pages around it lead here.
    ctx_.printf("<DIV id=\"zerbin_vml_p%d\" style=\"position:absolute; margin-left:0px; margin-top:%dpx; "
                "font-size:8pt;\">\r\n",
                n, y - 11);
    headingLink(p.headingNumber);
  } else {
    ctx_.printf("<A id=\"zerbin_vml_p%d\" class=\"to_tree\" style=\"margin-top:%dpx;\" "
                "onClick=\"selectTreeElem( '%d' );\">←</A>\r\n",
                n, y - 11, n);
  }
  if (hasNext) {
    ctx_.printf("<A href=\"%s#zerbin_vml_p%d\" class=\"to_next_page\" style=\"margin-top:%dpx;\">"
                "▼</A>\r\n",
                lastOfFile ? attr(pageFileName(fileNo_ + 1)).c_str() : "", n + 1, y - 11);
  }
  if (n >= 2) {
    const std::string prev = y > 0 ? "" : attr(pageFileName(fileNo_ - 1));
    ctx_.printf("<A href=\"%s#zerbin_vml_p%d\" class=\"to_prev_page\" style=\"margin-top:%dpx;\">"
                "▲</A>\r\n",
                prev.c_str(), n - 1, y - 11);
    if (y == 0) {
      ctx_.printf("<DIV style=\"position:absolute; margin-left:20px; margin-top:%dpx;\">\r\n", -16);
      ctx_.printf("<A id=\"page_group_top\" href=\"%s#page_group_bottom\" "
                  "style=\"text-decoration:none;\">↑</A></DIV>\r\n",
                  prev.c_str());
    }
  }
  ctx_.printf("<v:rect style=\"position:absolute; margin-left:0px; margin-top:%dpx; width:%dpx; "
              "height:%dpx;\" fillcolor=\"white\"/>\r\n",
              y, w, h);
  ctx_.verticalOffset = y;
  ctx_.pageTitle = page.title();
  ctx_.titleInKeywordTree = false;
  ctx_.noteTitleInKeywordTree = false;
  int32_t index = 1;
  // The back page's figures show on the first page.
  if (k == 0 && doc_.hasBackPage()) {
    const std::string& firstList = page.settings().pubPage();
    const NotePage& bp = doc_.pageAt(0);
    ctx_.pageNumber = 0;
    for (size_t f = 1; f < bp.figures.size(); ++f) {
      if (!PublicationFilter_figurePublished(fileList_, firstList, bp.figures.at(f).GetPub(), name_))
        continue;
      ctx_.anchorCounter = 0;
      bp.figures.at(f).WriteVml(ctx_, index++);
    }
  }
  if (headingMode) {
    for (const Heading& h : p.headings) {
      *tree_ += "<LI><A href=\"" + attr(pageFileName(fileNo_)) + "#";
      *tree_ += h.box->GetId().empty() ? StrX_format("zerbin_vml_h%d\" ", h.number)
                                       : attr(h.box->GetId()) + "\" ";
      *tree_ += StrX_format("name=\"zerbin_index_p%d\" target=\"main\">%s</A>\r\n", h.number,
                       escapeHtml(h.box->text(), StrX_HtmlSpaces).c_str());
    }
  }
  ctx_.pageNumber = n;
  // The search form: the last published figure whose link holds "=?".
  const CadPrim* formFigure = nullptr;
  for (size_t f = 1; f < page.figures.size(); ++f) {
    if (p.figures[f - 1] && page.figures.at(f).GetUrl().find("=?") != std::string::npos)
      formFigure = &page.figures.at(f);
  }
  const Text_Box* keywordBox = keywordBoxOf(formFigure);
  written_[k].keywordBox = keywordBox;
  index = 1;
  for (size_t f = 1; f < page.figures.size(); ++f) {
    if (!p.figures[f - 1]) continue;
    if (&page.figures.at(f) == keywordBox) continue;
    if (&page.figures.at(f) == formFigure) {
      form(*formFigure, keywordBox, y, n, index++);
      continue;
    }
    ctx_.anchorCounter = 0;
    for (const Heading& h : p.headings) {
      if (h.box == &page.figures.at(f) && h.box->GetId().empty()) ctx_.anchorCounter = h.number;
    }
    page.figures.at(f).WriteVml(ctx_, index++);
  }
  ctx_.printf("\r\n<v:line from=\"0,%d\" to=\"%d,%d\"/>\r\n", y, w, y);
  ctx_.printf("<v:line from=\"%d,%d\" to=\"%d,%d\"/>\r\n", w, y, w, y + h);
  ctx_.printf("<v:line from=\"%d,%d\" to=\"0,%d\"/>\r\n", w, y + h, y + h);
  ctx_.printf("<v:line from=\"0,%d\" to=\"0,%d\"/>\r\n\r\n", y + h, y);
  if (y + h + 16 > limit_) {
    const int32_t b = y + h;
    if (tree_) {
      ctx_.printf("<DIV style=\"position:absolute; margin-left:0px; margin-top:%dpx;\">\r\n", b);
      if (headingMode && y > 0) {
        headingLink(p.headingNumber);
      } else {
        ctx_.printf("<A id=\"zerbin_vml_p%d\" class=\"to_tree\" onClick=\"selectTreeElem( '%d' );\">"
                    "←</A></DIV>\r\n",
                    n, n);
      }
    } else if (!mht_) {
      ctx_.printf("<DIV style=\"position:absolute; margin-left:0px; margin-top:%dpx;\">\r\n", b + 3);
      ctx_.printf("<A id=\"zerbin_vml_p%d\"><FONT size=\"-1\">p%d</FONT></A></DIV>\r\n", n, n);
    }
    if (hasNext && lastOfFile) {
      ctx_.printf("<DIV style=\"position:absolute; margin-left:20px; margin-top:%dpx;\">\r\n", b);
      ctx_.printf("<A id=\"page_group_bottom\" href=\"%s#page_group_top\" "
                  "style=\"text-decoration:none;\">↓</A></DIV>\r\n",
                  attr(pageFileName(fileNo_ + 1)).c_str());
    }
  }
  ctx_.put("</PAGE>\r\n \r\n");
  pageWritten_ = true;
}

void Exporter::treeEntry(const Written& p) {
  const NotePage& page = doc_.pageAt(p.index);
  const std::string f = pageFileName(fileNo_);
  const std::string title = escapeHtml(page.title(), StrX_HtmlSpaces);
  auto isWritten = [&](const NotePage* q) { return q && writtenOf(q) != nullptr; };
  auto laterWrittenSibling = [&](const NotePage* q) {
    for (const NotePage* s = q->nextSibling; s; s = s->nextSibling) {
      if (isWritten(s)) return true;
    }
    return false;
  };
  auto firstWrittenChild = [&](const NotePage* q) -> const NotePage* {
    for (const NotePage* c = q->firstChild; c; c = c->nextSibling) {
      if (isWritten(c)) return c;
    }
    return nullptr;
  };
  std::vector<const NotePage*> ancestors;
  for (const NotePage* a = page.parent; a; a = a->parent) ancestors.insert(ancestors.begin(), a);
  if (ancestors.size() > 16) Errors_RAISE(102, "error");
  const bool node = firstWrittenChild(&page) != nullptr;
  const std::string path = attr(StrX_format("%s#zerbin_vml_p%d", f.c_str(), p.number));
  const std::string name = StrX_format("zerbin_index_p%d", p.number);
  std::string edge;
  for (const NotePage* a : ancestors) {
    edge += StrX_format("<IMG src=\"%s%s%s\"/>", treeImageFolder_.c_str(),
                   laterWrittenSibling(a) ? "t_vert." : "t_spc.", treeImageExt_.c_str());
  }
  const bool inner = page.parent || page.previousSibling;
  if (!node && inner) {
    edge += StrX_format("<IMG src=\"%s%s%s\"\r\n   />", treeImageFolder_.c_str(),
                   laterWrittenSibling(&page) ? "t_edge." : "t_last.", treeImageExt_.c_str());
  }
  const int flags = (inner ? 2 : 0) + (laterWrittenSibling(&page) ? 1 : 0);
  const Values values = {{"%edge%", edge},
                         {"%img_folder%", treeImageFolder_},
                         {"%node_id%", StrX_format("node%d", p.number)},
                         {"%node_flag%", std::to_string(flags)},
                         {"%t_leaf%", p.number == 1 ? "t_file" : "t_leaf"},
                         {"%path%", path},
                         {"%name%", name},
                         {"%title%", title}};
  std::optional<std::string> nodeStart;
  if (node) nodeStart = readTemplate(script_, "toc_2_node_start.txt", values);
  const bool hasNodeStart = FileX_isFile(StrX_joinPath(script_, "toc_2_node_start.txt"));
  if (nodeStart) *tree_ += *nodeStart;
  if (page.parent && firstWrittenChild(page.parent) == &page && !hasNodeStart) *tree_ += "<UL>\r\n";
  auto leaf = readTemplate(script_, "toc_3_leaf.txt", values);
  if (!FileX_isFile(StrX_joinPath(script_, "toc_3_leaf.txt"))) {
    *tree_ += StrX_format("<LI><A href=\"%s\" name=\"%s\" target=\"main\">%s</A>\r\n", path.c_str(),
                     name.c_str(), title.c_str());
  } else if (!node && leaf) {
    *tree_ += *leaf;
  }
  if (node || laterWrittenSibling(&page)) return;
  auto end = readTemplate(script_, "toc_4_node_end.txt", {});
  for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) {
    *tree_ += end ? *end : std::string("</UL>\r\n");
    if (laterWrittenSibling(*it)) break;
  }
}

// The side files lie beside the output and are opened for append: the
// exports of a site into one folder add their lines to the same lists.
void Exporter::openSideFiles() {
  for (auto [name, text] : sideFiles()) {
    const std::string path = StrX_joinPath(folder_, name);
    if (*text && !TextFile_write(path, "", true)) FileX_raiseOpenError(path, true, errno);
  }
}

// Whether a path of a side list names this export's output: the output
// file or a file of its folder of page files.  Relative paths are taken
// against `base`; a fragment and backslashes are allowed.
bool Exporter::ownsPath(std::string_view listed, std::string_view base) const {
  std::string p(listed.substr(0, listed.find('#')));
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  if (p.empty()) return false;
  std::string abs;
  StrX_makeAbsolute(abs, p, base.empty() ? std::string_view(folder_) : base, 4096);
  return FileX_sameFile(abs, output_) || FileX_insideFolder(abs, StrX_joinPath(folder_, files_));
}

// The entries of a side list (LF lines) that another export wrote: a run
// replaces its own entries, so that exporting again gives the same list.
std::string Exporter::othersEntries(std::string_view name, std::string_view text) const {
  std::vector<std::string> lines, kept;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    end = end == std::string_view::npos ? text.size() : end + 1;
    lines.emplace_back(text.substr(at, end - at));
    at = end;
  }
  auto valueAfterEquals = [](const std::string& line) {
    std::string v = line.substr(line.find('=') + 1);
    while (!v.empty() && (v.front() == ' ')) v.erase(0, 1);
    while (!v.empty() && (v.back() == '\n' || v.back() == '\r')) v.pop_back();
    return v;
  };
  if (name == "links.csv") {
    for (const std::string& line : lines) {
      std::optional<std::string> last;
      for (size_t pos = 0; pos != StrX_npos;) {
        StrX_Field f = StrX_csvField(line, pos);
        last = f.text;
        pos = f.next;
      }
      if (!last || *last != ctx_.noteOfLinks()) kept.push_back(line);
    }
  } else if (name == "ids.csv") {
    for (const std::string& line : lines) {
      const std::optional<std::string> first = StrX_csvFieldN(line, 1);
      if (!first || !ownsPath(*first, {})) kept.push_back(line);
    }
  } else if (name == "keywords.repurl.txt") {
    for (const std::string& line : lines) {
      if (line.rfind("dst", 0) == 0 && ownsPath(valueAfterEquals(line), {})) {
        if (!kept.empty() && kept.back().rfind("src", 0) == 0) kept.pop_back();
        continue;
      }
      kept.push_back(line);
    }
  } else if (name == "hhp_sub.txt") {
    for (const std::string& line : lines) {
      std::string path = line;
      while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
      if (!ownsPath(path, ctx_.imageListBase)) kept.push_back(line);
    }
  } else {  // hhk_sub.txt: objects of several lines
    std::vector<std::string> block;
    bool own = false;
    for (const std::string& line : lines) {
      if (block.empty() && line.find("<OBJECT") == std::string::npos) {
        kept.push_back(line);
        continue;
      }
      block.push_back(line);
      const size_t local = line.find("name=\"Local\" value=\"");
      if (local != std::string::npos) {
        const size_t from = local + std::string_view("name=\"Local\" value=\"").size();
        const std::string value = StrX_htmlUnescape(line.substr(from, line.find('"', from) - from));
        own = own || ownsPath(value, ctx_.imageListBase);
      }
      if (line.find("</OBJECT>") != std::string::npos) {
        if (!own) kept.insert(kept.end(), block.begin(), block.end());
        block.clear();
        own = false;
      }
    }
    if (!own) kept.insert(kept.end(), block.begin(), block.end());
  }
  std::string out;
  for (const std::string& line : kept) out += line;
  return out;
}

// Writes the side lists: what other exports wrote there, then this run's
// lines; after another error (raise false) as far as the files take them.
void Exporter::closeSideFiles(bool raise) {
  for (auto [name, text] : sideFiles()) {
    if (!*text) continue;
    const std::string path = StrX_joinPath(folder_, name);
    const std::string before = othersEntries(name, TextFile_read(path).value_or(""));
    if (!TextFile_write(path, before + **text, false) && raise) FileX_raiseOpenError(path, true, errno);
    text->reset();
  }
}

void Exporter::treeFoot() {
  std::string ids = "g_elem_ids = new Array( \"\"", parents = "g_parents = new Array( -1",
              flags = "g_flags = new Array( 0";
  std::unordered_map<const NotePage*, int> entry;
  int k = 0;
  for (const Written& w : written_) {
    if (!w.published) continue;
    const NotePage& page = doc_.pageAt(w.index);
    entry[&page] = ++k;
    const char* sep = (k - 1) % 4 == 0 ? ",\r\n  " : ", ";
    ids += StrX_format("%s\"zerbin_index_p%d\"", sep, w.number);
    auto parent = page.parent ? entry.find(page.parent) : entry.end();
    parents += StrX_format("%s%d", sep, parent == entry.end() ? -1 : parent->second);
    bool later = false;
    for (const NotePage* s = page.nextSibling; s && !later; s = s->nextSibling) {
      const Written* sw = writtenOf(s);
      later = sw && sw->published;
    }
    flags += StrX_format("%s%d", sep, ((page.parent || page.previousSibling) ? 2 : 0) + (later ? 1 : 0));
  }
  const std::string arrays = ids + " );\r\n" + parents + " );\r\n" + flags + " );\r\n";
  if (auto t = readTemplate(script_, "toc_5_foot.txt", {{"%array%", arrays}})) {
    *tree_ += *t;
  } else {
    *tree_ += "</UL>\r\n</NOBR>\r\n\r\n</BODY>\r\n</HTML>\r\n";
  }
}

void Exporter::keywordEntry(const Written& p) {
  if (ctx_.titleInKeywordTree) return;
  const std::string title = doc_.pageAt(p.index).title();
  const std::string href =
      StrX_format("../%s?f1=%s.files/%s_tree.html&sub1=zerbin_index_p%d&f2=%s.files/%s"
             "&sub2=zerbin_vml_p%d",
             StrX_fileName(output_).c_str(), x_.c_str(), x_.c_str(), p.number, x_.c_str(),
             pageFileName(fileNo_).c_str(), p.number);
  *keywords_ += "<a href=\"" + escapeHtml(href, StrX_HtmlAttr) + "\"";
  if (StrX_hasAsciiUpper(title))
    *keywords_ += " lower=\"" + escapeHtml(StrX_lowerAsciiCopy(title), StrX_HtmlAttr) + "\"";
  *keywords_ += ">" + escapeHtml(title, 0) + "</a>\r\n";
}

bool Exporter::run() {
  if (options_.publicationName) name_ = *options_.publicationName;
  mht_ = options_.mode == 'm';
  folder_ = StrX_parentFolder(output_);
  x_ = stem(output_);
  ext_ = StrX_extension(output_);
  n_ = stem(host_.notePath().empty() ? output_ : host_.notePath());
  files_ = x_ + ".files";
  script_ = host_.scriptFolder();
  const std::string filesFolder = StrX_joinPath(folder_, files_);

  // The status shows the output's name (at most 39 bytes) while it runs.
  std::string status;
  StrX_cpyNChar(status, StrX_fileName(output_), 39, 40);
  host_.showConversionStatus(status);
  struct ClearStatus {
    HtmlExportHost& h;
    ~ClearStatus() { h.showConversionStatus(""); }
  } clear{host_};

  if (doc_.currentPage()) doc_.SelectPage(doc_.currentPageNumber());
  fileList_ = doc_.documentSettings().pubFile;
  // An unpublished note leaves only a placeholder page: nothing is copied
  // or created before this test.
  if (!PublicationFilter_filePublished(fileList_, name_)) {
    makeFoldersOf(output_);
    FileX_writeWhole(output_, StrX_format("<HTML><HEAD><TITLE>%s</TITLE></HEAD><BODY>\r\n"
                                     "<BR/><BR/>（非公開情報のためカットされました）\r\n"
                                     "</BODY></HTML>\r\n",
                                     escapeHtml(n_, 0).c_str()));
    return false;
  }

  bool done = false;
  Except_tryCatch(
      [&] {
        NoteWriter_preparePages(doc_, host_);
        makeFoldersOf(output_);
        std::string menuRef;
        if (!options_.menuPath.empty()) {
          menuRef = StrX_toSlashPath(StrX_makeRelativeToFile(options_.menuPath, output_));
        } else if (!mht_) {
          const std::string rel = host_.relCopyFolder();
          if (!rel.empty() && FileX_isFolder(rel)) {
            FileX_makeFolders(filesFolder, false);
            for (const auto& e : std::filesystem::directory_iterator(rel)) {
              if (!e.is_regular_file()) continue;
              const std::string name = e.path().filename().string();
              if (!FileX_copyFile(StrX_joinPath(filesFolder, name), e.path().string()))
                FileX_raiseOpenError(StrX_joinPath(filesFolder, name), true, errno);
            }
          }
        }
        if (!options_.filesPath.empty()) {
          std::string rel = StrX_toSlashPath(StrX_makeRelativeToFile(options_.filesPath, output_));
          const size_t dot = rel.rfind('.');
          treeImageFolder_ = (dot == std::string::npos ? rel + "." : rel.substr(0, dot + 1)) + "files/";
        }
        if (auto leaf = readTemplate(script_, "toc_3_leaf.txt", {})) {
          size_t start = 0;
          while (start < leaf->size()) {
            size_t end = leaf->find('\n', start);
            if (end == std::string::npos) end = leaf->size();
            const std::string line = leaf->substr(start, end - start);
            const size_t at = line.find("%img_folder%");
            const size_t dot = at == std::string::npos ? at : line.find('.', at);
            if (dot != std::string::npos) {
              const size_t q = line.find('"', dot + 1);
              treeImageExt_ = line.substr(dot + 1, std::min<size_t>(8, q - dot - 1));
            }
            start = end + 1;
          }
        }
        if (options_.linksList) links_.emplace();
        if (options_.idsList) ids_.emplace();
        if (options_.replacementList) repurl_.emplace();
        if (!options_.helpContentsPath.empty()) {
          hhp_.emplace();
          hhk_.emplace();
        }
        openSideFiles();

        ctx_.lowerPath = host_.lowerPath();
        ctx_.variables = host_.variables();
        ctx_.outputPath = output_;
        ctx_.sourceNotePath = host_.notePath();
        ctx_.exportFileName = StrX_fileName(output_);
        ctx_.baseName = x_;
        ctx_.punycodeNames = options_.mode == 'v';
        ctx_.mhtmlMode = mht_;
        ctx_.keepBlankTarget = options_.keepBlankTarget;
        ctx_.preferNewWindow = options_.preferNewWindow;
        ctx_.noLocalLinks = options_.noLocalLinks;
        ctx_.sourceFolder = options_.sourceFolder;
        ctx_.destinationFolder = options_.destinationFolder;
        ctx_.publicationName = options_.publicationName;
        ctx_.rewriteLink = RewriteLink;
        // The pictures go beside the page files; only the names the
        // export gives them below that folder follow the lower-case setting.
        ctx_.attachFolderPath = filesFolder + "/";
        ctx_.linkListFile = links_ ? &*links_ : nullptr;
        ctx_.anchorListFile = ids_ ? &*ids_ : nullptr;
        ctx_.moveListFile = repurl_ ? &*repurl_ : nullptr;
        ctx_.imageListFile = hhp_ ? &*hhp_ : nullptr;
        ctx_.sitemapFile = hhk_ ? &*hhk_ : nullptr;
        ctx_.imageListBase = StrX_parentFolder(options_.helpContentsPath);
        ctx_.noteTitle = x_;

        if (mht_) limit_ = INT32_MAX / 2;  // one archive holds every page
        plan();
        if (!mht_ && options_.headingTree) collectHeadings();
        if (!options_.repurlPath.empty()) {
          ctx_.linkTable = LinkTable_readRepurl(options_.repurlPath, options_.sourceFolder,
                                                options_.destinationFolder,
                                                options_.repurlKind == 2 ? 2 : 1);
        } else if (!mht_) {
          // The ids of the pages written, placed in their page files as the
          // pages are (the first at 8).
          std::vector<LinkTablePage> pages;
          for (const Written& w : written_) {
            const NotePage& page = doc_.pageAt(w.index);
            LinkTablePage entry;
            entry.height = page.settings().height();
            for (size_t f = 1; f < page.figures.size(); ++f)
              entry.figureIds.push_back(w.figures[f - 1] ? page.figures.at(f).GetId() : std::string());
            pages.push_back(std::move(entry));
          }
          std::vector<SvgLinkPair> table;
          LinkTable_buildFromNote(table, host_.notePath(), output_, pages, limit_, 8);
          ctx_.linkTable = std::move(table);
        }

        std::string treePath;
        if (!mht_) {
          treePath = StrX_joinPath(filesFolder, x_ + "_tree.html");
          FileX_makeFolders(filesFolder, false);
          tree_.emplace();
          keywords_.emplace();
          ctx_.keywordTreeFile = &*keywords_;
        }
        std::string mhtHead;
        if (mht_) {
          mhtHead = requiredTemplate(script_, "mht_head.txt",
                                     {{"%Zerbin_AppName%", "Brevlo 3.10"}, {"%title%", StrX_mimeHeaderValue(n_)}});
        }
        openPageFile();
        ctx_.out.insert(0, mhtHead);
        if (keywords_) {
          *keywords_ += "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n\r\n"
                        "<keywords keyword=\"oo\" subfolder=\"\">\r\n";
        }
        if (tree_) {
          if (auto t = readTemplate(script_, "toc_1_head.txt",
                                    {{"%title%", attr(n_)}, {"%img_folder%", attr(treeImageFolder_)}})) {
            *tree_ += *t;
          } else {
            const std::string title = escapeHtml(n_, 0);
            *tree_ += "<html>\r\n<head>\r\n<title>" + title +
                      "</title>\r\n\r\n<STYLE type=\"text/css\">\r\n"
                      "a { text-decoration: none;  font-size:75%; }\r\n</STYLE>\r\n\r\n</head>\r\n"
                      "<body>\r\n\r\n<H3>" + title + "</H3>\r\n\r\n<NOBR>\r\n<UL>\r\n";
          }
        }
        if (ids_) *ids_ += StrX_csvQuote(pagePath_, '\0', true) + ", , 1,\r\n";

        int32_t y = 8;
        bool split = false;
        for (size_t k = 0; k < written_.size(); ++k) {
          if (split) {
            // The next page file starts only when a page goes into it.
            // The foot's spacer ends the file just left, at its own bottom.
            pageFileFoot();
            ++fileNo_;
            y = 0;
            ctx_.contentBottom = -9999;
            flushPageFile();
            openPageFile();
            split = false;
          }
          pageBlock(k, y);
          if (tree_ && !options_.headingTree) treeEntry(written_[k]);
          if (keywords_) keywordEntry(written_[k]);
          ctx_.contentBottom = std::max(ctx_.contentBottom, y);
          y += doc_.pageAt(written_[k].index).settings().height() + 16;
          split = y > limit_;
        }
        pageFileFoot();
        flushPageFile();
        // The note's entry, unless the last page wrote the note's name.
        if (keywords_ && !ctx_.noteTitleInKeywordTree) {
          *keywords_ += "<a href=\"../" + escapeHtml(StrX_fileName(output_), StrX_HtmlAttr) + "\"";
          if (StrX_hasAsciiUpper(x_)) *keywords_ += " lower=\"" + escapeHtml(StrX_lowerAsciiCopy(x_), StrX_HtmlAttr) + "\"";
          *keywords_ += ">" + escapeHtml(x_, 0) + "</a>\r\n";
        }
        if (tree_) {
          treeFoot();
          FileX_writeWhole(treePath, *tree_);
          const bool menu = !options_.menuPath.empty();
          std::string frame = requiredTemplate(
              script_, "vml_frame.txt",
              {{"%title%", attr(x_)},
               {"%tree_path%", attr(StrX_format("%s.files/%s_tree.html", x_.c_str(), x_.c_str()))},
               {"%main_path%", attr(StrX_format("%s.files/%s_01.%s", x_.c_str(), x_.c_str(), ext_.c_str()))},
               {"%menu_tags1%",
                menu ? StrX_format("<FRAMESET rows=\"25,*\"><FRAME src=\"%s\" name=\"menu\">",
                              escapeHtml(menuRef, StrX_HtmlAttr).c_str())
                     : std::string()},
               {"%menu_tags2%", menu ? "</FRAMESET>" : ""}});
          FileX_writeWhole(output_, frame);
        }
        if (keywords_) {
          *keywords_ += "</keywords>\r\n";
          FileX_writeWhole(StrX_joinPath(filesFolder, x_ + ".keyword.xml"), *keywords_);
        }
        if (repurl_) {
          *repurl_ += StrX_format("src=%s\r\n", host_.notePath().c_str());
          *repurl_ += StrX_format("dst=%s\r\n",
                             StrX_joinPath(filesFolder, pageFileName(1)).c_str());
        }
        closeSideFiles(true);
        done = true;
      },
      [&](const Errors_Msg& e) {
        closeSideFiles(false);
        if (e.code != kBadAttr) Except_throw(e);
        host_.showExportError(e.message(), "VML 変換");
        done = false;
      });
  return done;
}

}  // namespace

int BuildNoteLinkTable(SvgWriteContext& ctx, std::string_view notePath,
                       std::string_view outputPath, const NoteDocument& doc, int32_t limit) {
  std::vector<SvgLinkPair> table;
  const int result =
      LinkTable_buildFromNote(table, notePath, outputPath, LinkTable_pagesOf(doc), limit);
  ctx.linkTable = std::move(table);
  return result;
}

bool ExportHtml(NoteDocument& doc, std::string_view outputPath, const HtmlExportOptions& options,
                HtmlExportHost& host) {
  Exporter exporter(doc, outputPath, options, host);
  return exporter.run();
}

bool HtmlExport_parsePageList(std::string_view text,
                              std::vector<std::pair<int32_t, int32_t>>& ranges) {
  ranges.clear();
  size_t at = 0;
  auto skipBlanks = [&] {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  };
  // A page number: 1 to 99999 (no note has more pages).
  auto number = [&](int32_t& value) {
    skipBlanks();
    const size_t start = at;
    value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 5)
      value = value * 10 + (text[at++] - '0');
    return at > start && value >= 1 && !(at < text.size() && text[at] >= '0' && text[at] <= '9');
  };
  for (;;) {
    skipBlanks();
    if (at == text.size()) break;
    int32_t first = 0, last = 0;
    if (!number(first)) break;
    last = first;
    skipBlanks();
    if (at < text.size() && text[at] == '-') {
      ++at;
      if (!number(last) || last < first) break;
      skipBlanks();
    }
    ranges.emplace_back(first, last);
    if (at == text.size()) return true;
    if (text[at] == ',') {
      ++at;
    } else if (text[at - 1] != ' ' && text[at - 1] != '\t') {
      break;
    }
  }
  const bool ok = at == text.size() && !ranges.empty();
  if (!ok) ranges.clear();
  return ok;
}
