#include "document/writer/note_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_path.h"
#include "document/keywords/keyword_file.h"
#include "document/note/note_page.h"
#include "document/writer/link_rewrite.h"
#include "document/writer/link_table.h"
#include "document/writer/note_bytes.h"
#include "document/writer/note_layout.h"
#include "document/writer/publication_filter.h"
#include "figures/base/page_prepare.h"
#include "figures/base/svg_write_context.h"

namespace {

// Blocks of this size go to the file one by one.
constexpr size_t kWriteBlock = 64 * 1024;
// BuildNoteLinkTable's page-file height for the publishing save.
constexpr int32_t kLinkTableHeightLimit = 10000;

bool hasLeadByte(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (Cp932_isLead(s[i])) return true;
  }
  return false;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// ASCII case folding that never folds a trail byte.
std::string foldCase(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    if (Cp932_isLead(out[i]) && i + 1 < out.size()) {
      ++i;
      continue;
    }
    out[i] = asciiLower(out[i]);
  }
  return out;
}

// Ids the reader takes for page structure when they stand at the top of
// the file: "backpage", "page" + digits, "zerbin-ink".
bool looksStructural(std::string_view id) {
  if (id == "backpage" || id == "zerbin-ink") return true;
  return NotePage_idNumber(id).has_value();
}

// One page record as the save writes it.
struct PagePlan {
  size_t index = 0;          // list index in the note
  int32_t number = 0;        // number in the written file (0 = back page)
  int32_t level = 0;         // depth among the written pages
  std::vector<bool> figures; // per figure after the canvas: written
};

// The pages and figures a save writes, with their numbers in the file.
struct WritePlan {
  std::vector<PagePlan> pages;
  // Page number in the note -> number in the file (-1 = not written).
  std::unordered_map<int32_t, int32_t> renumber;
};

WritePlan planAll(const NoteDocument& doc) {
  WritePlan plan;
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const int32_t number = doc.pageNumberAt(i);
    PagePlan p;
    p.index = i;
    p.number = number;
    p.level = number == 0 ? 0 : doc.treeDepth(number);
    p.figures.assign(doc.pageAt(i).figureCount(), true);
    plan.pages.push_back(std::move(p));
    plan.renumber[number] = number;
  }
  return plan;
}

// The page carries pen ink: ink data, or an ink layer file with content.
bool pageHasInk(const NoteDocument& doc, const NotePage& page, int32_t number) {
  if (!page.inkData.empty()) return true;
  for (const int32_t layer : {InkLayer_back, InkLayer_front}) {
    const std::string path = doc.inkLayerPath(number, layer);
    if (FileX_isFile(path) && FileX_fileSize(path) > 0) return true;
  }
  return false;
}

WritePlan planPublished(const NoteDocument& doc, const std::optional<std::string>& name) {
  std::optional<std::string_view> nameView;
  if (name) nameView = *name;
  const std::string fileList = doc.documentSettings().pubFile;
  WritePlan plan;
  int32_t next = 1;
  // Depth among written pages: a page whose parent was left out moves up.
  std::unordered_map<const NotePage*, int32_t> writtenLevel;
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const NotePage& page = doc.pageAt(i);
    const std::string& pageList = page.settings().pubPage();
    PagePlan p;
    p.index = i;
    bool any = false;
    for (size_t f = 1; f < page.figures.size(); ++f) {
      const bool on = PublicationFilter_figurePublished(fileList, pageList,
                                                        page.figures.at(f).GetPub(), nameView);
      p.figures.push_back(on);
      any = any || on;
    }
    const int32_t number = doc.pageNumberAt(i);
    // Pen ink is content of the page: it is published with the page's
    // lists as a figure without a list of its own would be.
    if (!any && pageHasInk(doc, page, number))
      any = PublicationFilter_figurePublished(fileList, pageList, {}, nameView);
    if (!PublicationFilter_pagePublished(fileList, pageList, any, nameView)) {
      plan.renumber[number] = -1;
      continue;
    }
    if (number == 0) {
      p.number = 0;
    } else {
      p.number = next++;
      int32_t level = 0;
      for (const NotePage* up = page.parent; up; up = up->parent) {
        auto it = writtenLevel.find(up);
        if (it != writtenLevel.end()) {
          level = it->second + 1;
          break;
        }
      }
      p.level = level;
      writtenLevel[&page] = level;
    }
    plan.renumber[number] = p.number;
    plan.pages.push_back(std::move(p));
  }
  return plan;
}

// The text of a text-mode file, or nothing when it does not exist.
void appendFileIfPresent(std::string& out, const std::string& path) {
  if (path.empty() || !FileX_isFile(path)) return;
  NoteBytes_appendTextModeCopy(out, FileX_readWhole(path));
}

// The document text for `plan`.
std::string writeDocument(NoteDocument& doc, std::string_view target, NoteSaveHost& host,
                          const WritePlan& plan, SvgWriteContext& ctx, bool wide) {
  std::vector<NotePageSize> sizes;
  int32_t ordinary = 0;
  for (const PagePlan& p : plan.pages) {
    const Canvas& c = doc.pageAt(p.index).settings();
    sizes.push_back({c.width(), c.height()});
    if (p.number != 0) ++ordinary;
  }
  const NotePageSize rootSize = NoteLayout_rootSize(sizes);
  const NoteDocumentSettings settings = doc.documentSettings();

  std::string& out = ctx.out;
  size_t figureCount = 0;
  for (const PagePlan& p : plan.pages) figureCount += p.figures.size();
  out.reserve(out.size() + 4096 + figureCount * 256);
  NoteLayout_writePrologue(out, wide);

  NoteRootInfo root;
  root.canvasType = settings.canvasType;
  root.width = rootSize.width;
  root.height = rootSize.height;
  root.ordinaryPages = ordinary;
  root.pageInterval = settings.pageInterval;
  root.fixedZoom = host.fixedZoom();
  root.uuidText = NoteDocument_uuidText(doc.uuid);
  root.singleRecord = plan.pages.size() == 1;
  if (root.singleRecord) {
    const Canvas& c = doc.pageAt(plan.pages[0].index).settings();
    if (!c.saveImageFile().empty()) root.corrImage = StrX_makeRelativeToFile(c.saveImageFile(), target);
    root.pageClass = c.className();
    root.pagePub = c.pubPage();
  }
  root.filePub = settings.pubFile;
  NoteLayout_writeRoot(out, root);

  if (ordinary >= 2) {
    std::string script;
    const std::string scriptPath = host.scriptPath();
    if (!scriptPath.empty() && FileX_isFile(scriptPath))
      NoteBytes_appendTextModeCopy(script, FileX_readWhole(scriptPath));
    NoteLayout_writePageScript(out, ordinary, script);
  }

  // "#name" links: the page each name leads to, looked up once per name.
  std::unordered_map<std::string, int32_t> linkedPages;
  auto linkedPage = [&](const CadPrim& figure) -> int32_t {
    const std::string url = figure.GetUrl();
    const size_t hash = url.find('#');
    if (hash == std::string::npos) return -1;
    const std::string name = url.substr(hash + 1);
    const std::string key = foldCase(name);
    auto it = linkedPages.find(key);
    if (it == linkedPages.end()) {
      const int32_t n = doc.FindPageByName(name);
      int32_t written = -1;
      if (n >= 0) {
        auto r = plan.renumber.find(n);
        written = r == plan.renumber.end() ? -1 : r->second;
      }
      it = linkedPages.emplace(key, written).first;
    }
    return it->second;
  };

  int32_t offset = 10;
  for (const PagePlan& p : plan.pages) {
    NotePage& page = doc.pageAt(p.index);
    const Canvas& c = page.settings();
    bool group = plan.pages.size() >= 2 || !c.className().empty() || !c.GetId().empty() ||
                 !c.saveImageFile().empty();
    // A figure whose id reads as page structure must not stand at the top
    // of the file, where the reader would take it for a page.
    for (size_t f = 1; !group && f < page.figures.size(); ++f)
      group = looksStructural(page.figures.at(f).GetId());
    if (group) {
      NotePageGroupInfo g;
      g.backPage = p.number == 0;
      g.number = p.number;
      g.id2 = c.GetId();
      g.width = c.width();
      g.height = c.height();
      g.offset = offset;
      if (!c.saveImageFile().empty()) g.corrImage = StrX_makeRelativeToFile(c.saveImageFile(), target);
      g.pageClass = c.className();
      g.pagePub = c.pubPage();
      NoteLayout_writePageGroupStart(out, g);
    }
    if (p.number != 0) offset += c.height() + 10;
    NoteLayout_writeBounds(out, c.width(), c.height());
    ctx.pageNumber = p.number;
    for (size_t f = 1; f < page.figures.size(); ++f) {
      if (!p.figures[f - 1]) continue;
      const CadPrim& figure = page.figures.at(f);
      ctx.linkedPage = linkedPage(figure);
      figure.WriteSvg(ctx);
    }
    const int32_t number = doc.pageNumberAt(p.index);
    appendFileIfPresent(out, doc.inkLayerPath(number, InkLayer_back));
    appendFileIfPresent(out, doc.inkLayerPath(number, InkLayer_front));
    if (group) out += "</g>\n";
  }

  std::vector<NotePageTitle> titles;
  for (const PagePlan& p : plan.pages) {
    if (p.number == 0) continue;
    titles.push_back({p.number, p.level, doc.pageAt(p.index).title()});
  }
  NoteLayout_writePageTitles(out, titles);
  out += "</svg>\n";
  return std::move(out);
}

// Any byte of a double-byte character or of a single-byte katakana: the
// text is no plain ASCII, so a file declared "utf-8" cannot hold it.
bool hasHighByte(std::string_view text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  // Eight bytes at a time: any with its top bit set.
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080ull) return true;
  }
  for (; i < n; ++i)
    if (p[i] >= 0x80) return true;
  return false;
}

// The form is chosen on the bytes written: a document text written plain
// that holds any byte from 0x80 up goes to the wide form, its declaration
// with it.
void settleForm(std::string& text, bool& wide) {
  if (wide || !hasHighByte(text)) return;
  std::string plain, widePrologue;
  NoteLayout_writePrologue(plain, false);
  NoteLayout_writePrologue(widePrologue, true);
  if (text.compare(0, plain.size(), plain) == 0) text.replace(0, plain.size(), widePrologue);
  wide = true;
}

// Writes the note's text over the target: encoded, and compressed for an
// svgz target, piece by piece.
void writeNoteFile(std::string_view target, std::string_view text, bool wide) {
  FileX_AtomicFile file(target);
  auto toFile = [&file](std::string_view bytes) { file.write(bytes); };
  if (NoteBytes_isSvgz(target)) {
    NoteBytes_GzipStream gz(toFile);
    NoteBytes_encodePieces(text, wide, [&gz](std::string_view bytes) { gz.write(bytes); });
    gz.finish();
  } else {
    NoteBytes_encodePieces(text, wide, toFile);
  }
  file.commit();
}

// Writes the file's bytes over the target in blocks.
void replaceTarget(std::string_view target, std::string_view bytes) {
  FileX_AtomicFile file(target);
  for (size_t at = 0; at < bytes.size(); at += kWriteBlock)
    file.write(bytes.substr(at, kWriteBlock));
  file.commit();
}

// Holds the host's file lock for a scope.
class FileLockHold {
 public:
  explicit FileLockHold(NoteSaveHost& host) : host_(host), owns_(host.lockFiles()) {}
  ~FileLockHold() {
    if (owns_) host_.unlockFiles();
  }
  FileLockHold(const FileLockHold&) = delete;
  FileLockHold& operator=(const FileLockHold&) = delete;
  bool owns() const { return owns_; }

 private:
  NoteSaveHost& host_;
  bool owns_;
};

SvgWriteContext baseContext(std::string_view target, const NoteSaveHost& host) {
  SvgWriteContext ctx;
  ctx.notePath = std::string(target);
  ctx.lowerPath = host.lowerPath();
  ctx.variables = host.variables();
  return ctx;
}

std::string failureText(std::string_view target) {
  return std::string(target) + " に書込みができません。保存に失敗しました。";
}

// A step after the note file was written failed: the note is saved, so the
// user hears of the step alone.
void reportStepFailure(NoteSaveHost& host, std::string_view path, const Errors_Msg& msg) {
  Errors_printf("save step failed for %.*s: %s", static_cast<int>(path.size()), path.data(),
                msg.message());
  host.showSaveStepFailure(std::string(path) + " : " + msg.message());
}

// The files that pages name in their corr-image: an image per page, the
// HTML or MHTML copy of the whole note for page 1.
void regeneratePageFiles(NoteDocument& doc, std::string_view target, NoteSaveHost& host) {
  const int32_t last = doc.lastPageNumber();
  const std::string folder = StrX_parentFolder(target);
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const int32_t number = doc.pageNumberAt(i);
    if (number == 0) continue;
    const std::string& file = doc.pageAt(i).settings().saveImageFile();
    if (file.empty()) continue;
    std::string path;
    StrX_makeAbsolute(path, file, folder);
    const std::string ext = foldCase(StrX_extension(path));
    Except_tryCatch(
        [&] {
          if (number == 1 && (ext == "htm" || ext == "html" || ext == "mht")) {
            host.exportHtml(path, ext == "htm" ? 'V' : ext == "html" ? 'v' : 'm');
          } else if (ext == "png" || ext == "jpeg" || ext == "jpg") {
            char status[96];
            std::snprintf(status, sizeof status, "画像出力中 (%d/%d) ...", number, last);
            host.showStatus(status);
            host.exportPageImage(number, path);
          }
        },
        [&](const Errors_Msg& msg) { reportStepFailure(host, path, msg); });
  }
}

}  // namespace

void NoteWriter_assignLabelIds(NoteDocument& doc) {
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    NotePage& page = doc.pageAt(i);
    if (!page.labelIds) continue;
    FigureList& list = page.figures;
    // Ids are compared as links find them: ignoring case.  `all` counts the
    // ids of the page as they stand, `earlier` those of the figures passed.
    std::unordered_map<std::string, int> all;
    for (size_t f = 1; f < list.size(); ++f) {
      const std::string id = list.at(f).GetId();
      if (!id.empty()) ++all[foldCase(id)];
    }
    std::unordered_map<std::string, int> earlier;
    // Every "label-n" below the hint is in use.
    int hint = 1;
    for (size_t f = 1; f < list.size(); ++f) {
      CadPrim& figure = list.at(f);
      std::string folded = foldCase(figure.GetId());
      if (figure.HasAttachments() && (folded.empty() || earlier.count(folded))) {
        if (!folded.empty()) {
          auto it = all.find(folded);
          if (it != all.end() && --it->second == 0) all.erase(it);
          if (folded.compare(0, 6, "label-") == 0) {
            const int n = std::atoi(folded.c_str() + 6);
            if (n >= 1 && n < hint && "label-" + std::to_string(n) == folded) hint = n;
          }
        }
        int n = hint;
        while (all.count("label-" + std::to_string(n))) ++n;
        folded = "label-" + std::to_string(n);
        figure.SetId(folded);
        ++all[folded];
        hint = n + 1;
      }
      if (!folded.empty()) ++earlier[folded];
    }
  }
}

bool NoteWriter_needsUtf16(const NoteDocument& doc) {
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const NotePage& page = doc.pageAt(i);
    if (hasLeadByte(page.title()) || hasLeadByte(page.settings().saveImageFile())) return true;
    for (size_t f = 1; f < page.figures.size(); ++f) {
      if (page.figures.at(f).HasMultibyteText()) return true;
    }
  }
  return false;
}

void NoteWriter_preparePages(NoteDocument& doc, const NoteSaveHost& host) {
  const TextMetrics* metrics = host.metrics();
  if (!metrics) return;
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    DrawContext ctx;
    ctx.pageNumber = doc.pageNumberAt(i);
    ctx.directOutput = true;
    FigureList_prepareForWrite(doc.pageAt(i).figures, *metrics, ctx);
  }
}

std::string NoteWriter_documentText(NoteDocument& doc, std::string_view target,
                                    NoteSaveHost& host, bool& wide) {
  if (doc.currentPage()) doc.storeWorkingCopy();
  NoteWriter_preparePages(doc, host);
  NoteWriter_assignLabelIds(doc);
  wide = NoteWriter_needsUtf16(doc);
  SvgWriteContext ctx = baseContext(target, host);
  std::string text = writeDocument(doc, target, host, planAll(doc), ctx, wide);
  settleForm(text, wide);
  return text;
}

int NoteWriter_save(NoteDocument& doc, std::string_view target, bool copy, NoteSaveHost& host) {
  const std::string targetPath(target);
  const bool autoSaveWasOn = host.autoSaveEnabled();
  int result = NoteWriter_failed;
  bool locked = false;
  Except_tryCatch(
      [&] {
        if (doc.currentPage()) doc.storeWorkingCopy();
        NoteWriter_preparePages(doc, host);
        NoteWriter_assignLabelIds(doc);
        if (!copy && targetPath == host.notePath()) doc.savedInPlace = true;
        // A lock that cannot be had is a failed save, not a skipped one.
        FileLockHold hold(host);
        if (!hold.owns()) return;
        locked = true;
        bool wide = NoteWriter_needsUtf16(doc);
        SvgWriteContext ctx = baseContext(targetPath, host);
        std::string text = writeDocument(doc, targetPath, host, planAll(doc), ctx, wide);
        settleForm(text, wide);
        writeNoteFile(targetPath, text, wide);
        result = NoteWriter_ok;
      },
      [&](const Errors_Msg&) { result = NoteWriter_failed; });

  // The steps after the file is in place never undo it.  Each runs on its
  // own: one that fails is reported and the others still run, and once the
  // file is written the note's path and saved mark always follow it.
  const bool written = result == NoteWriter_ok;
  auto step = [&](auto&& body) {
    Except_tryCatch(body, [&](const Errors_Msg& msg) { reportStepFailure(host, targetPath, msg); });
  };
  if (!copy && written) {
    regeneratePageFiles(doc, targetPath, host);
    step([&] {
      const std::string keywords = host.keywordsFolder();
      if (!keywords.empty()) KeywordFile_write(doc, targetPath, keywords, host.plainTextFolder());
    });
  }
  step([&] { host.refreshTitle(); });
  if (!copy && written) {
    step([&] { host.setNotePath(targetPath); });
    step([&] { host.markSaved(); });
    step([&] { host.refreshTitle(); });
    step([&] { host.addRecentFile(targetPath); });
  }
  if (locked && written) {
    step([&] { host.backup(targetPath); });
    step([&] {
      const int mirrored = host.mirror(targetPath);
      if (mirrored != 0) result = mirrored;
    });
  }

  if (result == NoteWriter_failed) {
    std::string text = failureText(targetPath);
    if (!copy && autoSaveWasOn) text += "\r\n\r\nこのファイルの自動保存を無効にしました。";
    host.showSaveFailure(text, "Brevlo 3.10 エラー");
  }
  if (!copy) {
    doc.autoSaveDisabled = result == NoteWriter_failed;
    if (result != NoteWriter_failed) doc.formatVersion = NoteLayout_formatVersion;
  }
  return result;
}

int NoteWriter_savePublished(NoteDocument& doc, std::string_view target,
                             const NotePublishOptions& options, NoteSaveHost& host) {
  const std::string targetPath(target);
  int result = NoteWriter_failed;
  std::string repurlFailure;  // the error of the replacement file, reported as itself
  Except_tryCatch(
      [&] {
        if (doc.currentPage()) doc.storeWorkingCopy();
        std::optional<std::string_view> name;
        if (options.publicationName) name = *options.publicationName;
        if (!PublicationFilter_filePublished(doc.documentSettings().pubFile, name)) {
          replaceTarget(targetPath, NoteLayout_placeholderDocument());
          result = NoteWriter_ok;
          return;
        }
        NoteWriter_preparePages(doc, host);
        NoteWriter_assignLabelIds(doc);
        FileLockHold hold(host);
        if (!hold.owns()) return;
        SvgWriteContext ctx = baseContext(targetPath, host);
        ctx.publicationName = options.publicationName;
        ctx.sourceFolder = options.sourceFolder;
        ctx.destinationFolder = options.destinationFolder;
        ctx.rewriteLink = RewriteLink;
        if (!options.repurlPath.empty()) {
          Except_tryCatch(
              [&] {
                ctx.linkTable = LinkTable_readRepurl(options.repurlPath, options.sourceFolder,
                                                     options.destinationFolder, options.repurlKind);
              },
              [&](const Errors_Msg& e) {
                repurlFailure = e.message();
                if (repurlFailure.find(options.repurlPath) == std::string::npos)
                  repurlFailure += " in " + options.repurlPath;
                Except_throw(e);
              });
        } else {
          std::vector<SvgLinkPair> table;
          LinkTable_buildFromNote(table, host.notePath(), targetPath, LinkTable_pagesOf(doc),
                                  kLinkTableHeightLimit);
          ctx.linkTable = std::move(table);
        }
        const WritePlan plan = planPublished(doc, options.publicationName);
        bool wide = NoteWriter_needsUtf16(doc);
        std::string text = writeDocument(doc, targetPath, host, plan, ctx, wide);
        settleForm(text, wide);
        writeNoteFile(targetPath, text, wide);
        result = NoteWriter_ok;
      },
      [&](const Errors_Msg&) { result = NoteWriter_failed; });
  if (result == NoteWriter_ok) regeneratePageFiles(doc, targetPath, host);
  if (result == NoteWriter_failed)
    host.showSaveFailure(repurlFailure.empty() ? failureText(targetPath) : repurlFailure, "");
  return result;
}
