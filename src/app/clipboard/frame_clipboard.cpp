#include "app/clipboard/frame_clipboard.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "clipboard/figure_block.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_info.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "document/writer/note_save_host.h"
#include "document/writer/note_writer.h"
#include "figures/base/app_counters.h"
#include "figures/canvas/canvas.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "ink/ink_engine.h"
#include "undo/undo_history.h"

// Qt after the core headers.
#include "app/links/dropped_files.h"
#include "app/mainframe/main_frame.h"
#include "app/pages/left_view.h"
#include "app/pages/page_commands.h"
#include "app/toolbars/tool_bars.h"
#include <QBuffer>
#include <QDrag>
#include <QPointer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QUrl>

#include "clipboard/zerbin_mime.h"
#include "platform/images/image_writers.h"
#include "platform/text/qt_text.h"
#include "platform/text/qt_text_metrics.h"
#include "platform/windows/window_ids.h"
#include "view/commands/command_ids.h"
#include "view/editing/edit_tools.h"
#include "view/editing/mouse_editor.h"
#include "view/editor/in_place_editing.h"
#include "view/menus/context_menus.h"
#include "view/render/figures_image.h"
#include "view/selection/view_selection.h"

namespace {

// Text of a pasted box: at most this many bytes, then "...".
constexpr size_t kTextLimit = 1019;

// The measures of pictures made for other programs, which may ask for
// them after the window has gone.
const QtTextMetrics& clipMetrics() {
  static const QtTextMetrics metrics;
  return metrics;
}

// The figures of a block in a list of their own (a Canvas first), links
// resolved: what the lazily made forms draw and write.
FigureList blockList(const std::string& bytes) {
  FigureList list;
  list.append(std::make_unique<Canvas>());
  FigureBlock block;
  if (!FigureBlock_decode(bytes, block)) return list;
  for (auto& f : FigureBlock_figures(block, &clipMetrics())) list.append(std::move(f));
  FigureList_resolveLinks(list);
  return list;
}

QByteArray pngOf(const std::string& bytes) {
  FigureList list = blockList(bytes);
  QByteArray out;
  Except_tryCatch(
      [&] {
        const QImage image = View_renderFigures(list, clipMetrics());
        if (image.isNull()) return;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
      },
      [](const Errors_Msg&) {});
  return out;
}

class ClipSaveHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &clipMetrics(); }
  bool lockFiles() override { return false; }
};

// The figures as a small standard SVG: a note of one page holding them,
// moved to its top-left corner, written in UTF-8.
QByteArray svgOf(const std::string& bytes, const std::string& workFolder) {
  QByteArray out;
  Except_tryCatch(
      [&] {
        FigureList figures = blockList(bytes);
        const Rect32 bounds = View_figuresBounds(figures, clipMetrics());
        if (bounds.w <= 0 && bounds.h <= 0) return;
        NoteDocument doc(workFolder);
        doc.NewDocument(NoteDocument_newDocumentNumber(AppCounters_instance(), workFolder), false);
        FigureList& page = doc.workingFigures();
        FigureBlock block;
        FigureBlock_decode(bytes, block);
        for (auto& f : FigureBlock_figures(block, &clipMetrics())) {
          f->MoveBy(8 - bounds.x, 8 - bounds.y);  // links are not resolved yet
          page.append(std::move(f));
        }
        FigureList_resolveLinks(page);
        doc.workingSettings().setSize(int64_t{bounds.w} + 16, int64_t{bounds.h} + 16);
        ClipSaveHost host;
        bool wide = false;
        std::string text = NoteWriter_documentText(doc, workFolder + "/clip.svg", host, wide);
        doc.ClearDocument();
        std::string utf8 = Cp932_toUtf8(text);
        // The declaration names the encoding the bytes now have.
        const size_t enc = utf8.find("encoding=\"");
        if (enc != std::string::npos && enc < utf8.find('>')) {
          const size_t end = utf8.find('"', enc + 10);
          utf8.replace(enc + 10, end - enc - 10, "UTF-8");
        }
        out = QByteArray::fromStdString(utf8);
      },
      [](const Errors_Msg&) {});
  return out;
}

// Cut on a character boundary with "..." after it when longer than `limit`.
std::string shortened(const std::string& text, size_t limit) {
  if (text.size() <= limit) return text;
  return text.substr(0, Cp932_cutLength(text, limit)) + "...";
}

Rect32 united(const Rect32& a, const Rect32& b) {
  if (a.w <= 0 && a.h <= 0) return b;
  if (b.w <= 0 && b.h <= 0) return a;
  const int64_t l = std::min(a.x, b.x), t = std::min(a.y, b.y);
  const int64_t r = std::max(int64_t{a.x} + a.w, int64_t{b.x} + b.w);
  const int64_t d = std::max(int64_t{a.y} + a.h, int64_t{b.y} + b.h);
  return {Figure_toInt32(l), Figure_toInt32(t), Figure_toInt32(r - l), Figure_toInt32(d - t)};
}

bool isText(const CadPrim& f) { return f.GetKind() == FigureKind_Text; }

}  // namespace

FrameClipboard::FrameClipboard(CMainFrame& frame) : QObject(&frame), frame_(frame) {
  // Another program's copy starts the paste places anew.
  if (QClipboard* clip = QGuiApplication::clipboard()) {
    connect(clip, &QClipboard::dataChanged, this, [this] {
      if (settingClipboard_) return;
      pasteCount = 0;
      pastePage = -1;
    });
  }
}

void FrameClipboard::say(const std::string& text, const char* title) const {
  UserPrompts_get().messageBox(text, title, PromptButtons::Ok, PromptIcon::Warning,
                               PromptAnswer::Ok, WindowIds_idOf(&frame_));
}

std::string FrameClipboard::TextsOf(const std::vector<const CadPrim*>& figures) {
  std::vector<const CadPrim*> boxes;
  for (const CadPrim* f : figures) {
    if (isText(*f)) boxes.push_back(f);
  }
  std::stable_sort(boxes.begin(), boxes.end(), [](const CadPrim* a, const CadPrim* b) {
    const Rect32 p = a->GetBounds(), q = b->GetBounds();
    return p.y != q.y ? p.y < q.y : p.x < q.x;
  });
  std::string out;
  for (const CadPrim* b : boxes) {
    if (!out.empty()) out += "\r\n";
    out += static_cast<const Text_Box&>(*b).text();
  }
  return out;
}

std::unique_ptr<QMimeData> FrameClipboard::MimeOf(const std::vector<const CadPrim*>& figures,
                                                  std::optional<Point32> anchor,
                                                  bool wholePage) const {
  FigureBlock block = FigureBlock_of(figures);
  const ToolBars& modes = frame_.toolBars();
  block.flags = (wholePage ? FigureBlock_wholePage : 0) |
                (modes.noteBarMode() ? FigureBlock_fromNoteBar : 0) |
                (modes.viewerMode() ? FigureBlock_fromViewer : 0);
  const ViewSelection* sel = frame_.view().selection();
  const CadPrim* held = sel != nullptr ? sel->HoldPrim() : nullptr;
  block.held = wholePage ? (figures.empty() ? 0 : figures.front()->GetNumber())
                         : (held != nullptr ? held->GetNumber() : 0);
  block.sourceWindow = WindowIds_idOf(&frame_);
  if (anchor) {
    block.anchorX = anchor->x;
    block.anchorY = anchor->y;
  }
  block.notePath = frame_.notePath();
  block.folderPath = frame_.notePath();
  if (wholePage) {
    NoteDocument& doc = frame_.document();
    block.pageTitle = doc.currentPage()->title();
    block.pageWidth = doc.workingSettings().width();
    block.pageHeight = doc.workingSettings().height();
  }
  auto mime = std::make_unique<ZerbinMimeData>();
  const std::string bytes = FigureBlock_encode(block);
  mime->setData(FigureBlock_mimeType, QByteArray::fromStdString(bytes));
  const std::string texts = TextsOf(figures);
  if (!texts.empty()) {
    std::string lf;
    for (char c : texts) {
      if (c != '\r') lf += c;
    }
    mime->setText(QtText_fromCp932(lf));
  }
  if (!figures.empty()) {
    const std::string work = frame_.options().workFolder;
    mime->png = [bytes] { return pngOf(bytes); };
    mime->svg = [bytes, work] { return svgOf(bytes, work); };
  }
  return mime;
}

std::vector<const CadPrim*> FrameClipboard::copySource(bool& wholePage) const {
  std::vector<const CadPrim*> out;
  wholePage = frame_.pages().tree().hasFocus();
  const ViewSelection* sel = frame_.view().selection();
  for (const auto& f : frame_.document().workingFigures()) {
    if (f->GetKind() == FigureKind_Canvas) continue;
    if (wholePage || (sel != nullptr && (sel->IsInSelection(*f) || sel->HoldPrim() == f.get())))
      out.push_back(f.get());
  }
  return out;
}

bool FrameClipboard::Copy(std::optional<Point32> anchor) {
  if (!frame_.hasNote()) return false;
  CChildView& view = frame_.view();
  if (view.inPlace().active()) {
    view.contextMenus().runItem(Cmd_Copy);
    return true;
  }
  QClipboard* clip = QGuiApplication::clipboard();
  if (clip == nullptr) {
    say("Can not open Clipboard");
    return false;
  }
  bool wholePage = false;
  const std::vector<const CadPrim*> figures = copySource(wholePage);
  // The selected ink (all of it with the whole page) goes with them.
  InkEngine* ink = view.ink();
  std::string inkBytes;
  InkBox inkBox;
  if (ink != nullptr) {
    const bool all = wholePage && !ink->hasSelection();
    if (all) ink->selectAllInk();
    inkBytes = ink->copySelection();
    const Rect32 box = ink->page().selectionBox();
    inkBox = {box.x, box.y, Figure_toInt32(int64_t{box.x} + box.w),
              Figure_toInt32(int64_t{box.y} + box.h), anchor ? anchor->x : 0, anchor ? anchor->y : 0};
    if (all) ink->deselectAll();
  }
  if (figures.empty() && !wholePage && inkBytes.empty()) return false;
  NoteDocument& doc = frame_.document();
  if (wholePage && doc.parentNumber(doc.currentPageNumber()) >= 0) {
    say("子ページはクリップボードに格納されません。", "警告");
  }
  std::unique_ptr<QMimeData> mime = figures.empty() && !wholePage
                                        ? std::make_unique<ZerbinMimeData>()
                                        : MimeOf(figures, anchor, wholePage);
  if (!inkBytes.empty()) {
    mime->setData(InkStrokes_mimeType, QByteArray(inkBytes.data(), static_cast<qsizetype>(inkBytes.size())));
    const std::string box = InkBox_encode(inkBox);
    mime->setData(InkBox_mimeType, QByteArray(box.data(), static_cast<qsizetype>(box.size())));
  }
  settingClipboard_ = true;
  clip->setMimeData(mime.release());
  settingClipboard_ = false;
  pasteCount = 0;
  pastePage = doc.currentPageNumber();
  return true;
}

bool FrameClipboard::Cut() {
  if (!frame_.hasNote()) return false;
  if (frame_.view().inPlace().active()) {
    frame_.view().contextMenus().runItem(Cmd_Cut);
    return true;
  }
  bool wholePage = false;
  const bool noFigures = copySource(wholePage).empty();
  const InkEngine* ink = frame_.view().ink();
  const bool inkOnly = noFigures && !wholePage && ink != nullptr && ink->hasSelection();
  if (!inkOnly && (noFigures || wholePage)) {
    // A page is cut with the page commands, not here.
    return wholePage ? Copy() : false;
  }
  // Nothing is deleted unless the figures are on the clipboard.
  if (!Copy()) return false;
  pasteCount = 0;
  pastePage = -1;
  return frame_.commands().run(Cmd_Delete);
}

bool FrameClipboard::Paste(std::optional<Point32> anchor) {
  const QClipboard* clip = QGuiApplication::clipboard();
  const QMimeData* data = clip != nullptr ? clip->mimeData() : nullptr;
  if (data == nullptr) {
    say("Can not open Clipboard");
    return false;
  }
  return Insert(*data, anchor, false, false);
}

bool FrameClipboard::Insert(const QMimeData& data, std::optional<Point32> anchor, bool drop,
                            bool link) {
  if (!frame_.hasNote()) return false;
  CChildView& view = frame_.view();
  // Text goes into a text being written.
  if (!drop && view.inPlace().active() && data.hasText()) {
    view.contextMenus().runItem(Cmd_Paste);
    return true;
  }
  view.inPlace().End();
  if (!view.inPlace().active()) view.ChooseTool(EditTool_select);
  view.setFocus();
  NoteDocument& doc = frame_.document();
  // The paste places: +8 each time on the page of the last paste.
  const int32_t page = doc.currentPageNumber();
  if (!drop) {
    pasteCount = page == pastePage ? pasteCount + 1 : 0;
    pastePage = page;
  }
  Rect32 area;
  bool pasted = false;
  bool cancelled = false;
  {
    UndoGroup group(frame_.undo());
    const QByteArray blockBytes = data.data(FigureBlock_mimeType);
    if (!blockBytes.isEmpty()) {
      FigureBlock block;
      std::string why;
      if (!FigureBlock_decode(std::string_view(blockBytes.constData(), blockBytes.size()), block,
                              &why)) {
        say(std::string(frame_.options().japanese ? "貼り付けるデータが壊れています：" 
                                                  : "The data to paste is damaged: ") + why);
        return false;
      }
      pasted = pasteBlock(block, anchor, drop, area);
      if (!pasted && !block.records.empty()) return false;
    }
    const bool hasImage = data.hasImage() || data.hasFormat("image/png") || data.hasFormat("image/jpeg");
    if (!pasted && data.hasUrls()) pasted = pasteFiles(data, anchor, drop, link, area);
    if (!pasted && data.hasText() && !hasImage) {
      pasted = pasteText(Cp932_fromUtf8(data.text().toStdString()), anchor, drop, area, cancelled);
    }
    if (!pasted && !cancelled && hasImage) pasted = pasteImage(data, area, cancelled);
    if (!cancelled && data.hasFormat(InkStrokes_mimeType) && pasteInk(data, anchor, area)) pasted = true;
  }
  if (!pasted) {
    if (!cancelled) say(Clipboard_unsupportedJa);
    return false;
  }
  afterInsert(area);
  return true;
}

bool FrameClipboard::pasteBlock(const FigureBlock& block, std::optional<Point32> anchor, bool drop,
                                Rect32& area) {
  NoteDocument& doc = frame_.document();
  const int32_t page = doc.currentPageNumber();
  std::string why;
  std::vector<std::unique_ptr<CadPrim>> figures = FigureBlock_figures(block, &frame_.metrics(), &why);
  if (figures.empty()) {
    if (!block.records.empty()) {
      say(std::string(frame_.options().japanese ? "貼り付けるデータが壊れています："
                                                : "The data to paste is damaged: ") + why);
    }
    return false;
  }
  // The held figure of the block, by its place among the records.
  size_t heldIndex = figures.size();
  for (size_t i = 0; i < figures.size(); ++i) {
    if (figures[i]->GetNumber() == block.held) heldIndex = i;
  }
  // Links to places of the source note point into that note from here.
  const bool sameView = block.sourceWindow == WindowIds_idOf(&frame_);
  const bool otherNote = !FileX_sameFile(block.notePath, frame_.notePath()) &&
                         !(sameView && block.notePath.empty() && frame_.notePath().empty());
  if (otherNote && !block.notePath.empty()) {
    for (auto& f : figures) {
      const std::string url = f->GetUrl();
      if (!url.empty() && url.front() == '#') f->SetUrl(block.notePath + url);
    }
  }
  FigureBlock_renumber(figures);
  FigureBlock_takeIntoWorkFolder(figures, doc.workFolder());
  const bool wholePage = (block.flags & FigureBlock_wholePage) != 0;
  int32_t dx = 0, dy = 0;
  if (!wholePage) {
    if (anchor) {
      dx = Figure_toInt32(int64_t{anchor->x} - block.anchorX);
      dy = Figure_toInt32(int64_t{anchor->y} - block.anchorY);
    } else if (!drop) {
      dx = dy = Figure_toInt32(int64_t{8} * pasteCount);
    }
  }
  // Moved while their links are numbers: nothing hanging on them moves twice.
  for (auto& f : figures) f->MoveBy(dx, dy);
  ViewSelection* sel = frame_.view().selection();
  if (sel != nullptr) sel->DeselectAll(true);
  FigureList& list = doc.workingFigures();
  UndoHistory& undo = frame_.undo();
  if (wholePage) {
    // The page is replaced: its figures go (each recorded), it takes the
    // block's title and size.
    frame_.view().PageLeaving();
    while (list.size() > 1) {
      CadPrim& last = list.at(list.size() - 1);
      undo.RecordDeletion(last, doc, page);
      last.DetachAll(true);
      list.remove(last).reset();
    }
    Canvas& canvas = doc.workingSettings();
    std::unique_ptr<CadPrim> before = canvas.Clone(&list);
    canvas.setSize(block.pageWidth, block.pageHeight);
    undo.RecordChange(std::move(before), canvas, doc, page);
    NotePage* p = doc.currentPage();
    if (p->title() != block.pageTitle) {
      const std::string old = p->title();
      p->setTitle(block.pageTitle);
      undo.RecordPageRename(page, old, p->title());
    }
    frame_.pageShown();
    sel = frame_.view().selection();
  }
  std::vector<CadPrim*> live;
  live.reserve(figures.size());
  for (auto& f : figures) {
    const bool bottom = f->GetKind() == FigureKind_Rect;
    live.push_back(&list.insert(EditTools_insertIndex(list, bottom), std::move(f)));
  }
  FigureList_resolveLinks(list);
  for (CadPrim* f : live) {
    if (isText(*f)) static_cast<Text_Box*>(f)->Layout(frame_.metrics(), DrawContext{});
    undo.RecordCreation(*f, doc, page);
    area = united(area, f->GetBounds());
  }
  if (sel != nullptr) sel->SelectFigures(live, heldIndex < live.size() ? live[heldIndex] : nullptr);
  if (wholePage) frame_.pages().HistoryStepped();
  return true;
}

Rect32 FrameClipboard::textToBoxes(const std::string& text, bool split, std::optional<Point32> anchor,
                                   const std::string& link) {
  NoteDocument& doc = frame_.document();
  const Canvas& canvas = doc.workingSettings();
  std::vector<std::string> texts;
  if (split) {
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == '\n') {
        std::string line = text.substr(start, i - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        texts.push_back(line);
        start = i + 1;
      } else {
        i += Cp932_charLen(text, i) - 1;
      }
    }
  } else {
    texts.push_back(text);
  }
  Rect32 area;
  ViewSelection* sel = frame_.view().selection();
  FigureList& list = doc.workingFigures();
  for (const std::string& t : texts) {
    const Point32 at = anchor && !split ? *anchor : nextText_;
    if (!split || !anchor) {
      // The next place: 30 down; below the page the next column.
      nextText_.y += 30;
      if (nextText_.y > canvas.height()) {
        nextText_.y = 30;
        nextText_.x += 60;
      }
      if (nextText_.x > canvas.width()) nextText_.x = 30;
    }
    if (t.empty()) continue;  // an empty line only moves the place on
    std::unique_ptr<CadPrim> made = frame_.toolBars().styles().templateFor(EditTool_rectText);
    std::unique_ptr<Text_Box> box;
    if (made && isText(*made)) {
      box.reset(static_cast<Text_Box*>(made.release()));
      box->SetTextMetrics(&frame_.metrics());
      box->MoveBy(Figure_toInt32(int64_t{at.x} - box->GetEdge(6)),
                  Figure_toInt32(int64_t{at.y} - box->GetEdge(7)));
    } else {
      EditToolDefaults d;
      d.metrics = &frame_.metrics();
      d.japanese = frame_.options().japanese;
      box = EditTools_defaultText(EditTool_rectText, at, d);
    }
    box->SetIsCopy(false);
    box->SetNumber(AppCounters_instance().nextFigureNumber());
    box->SetText(shortened(t, kTextLimit));
    box->placeholder = false;
    if (!link.empty()) box->SetUrl(link);
    box->Layout(frame_.metrics(), DrawContext{});
    CadPrim& live = list.append(std::move(box));
    frame_.undo().RecordCreation(live, doc, doc.currentPageNumber());
    if (sel != nullptr) sel->AddToSelection(live);
    area = united(area, live.GetBounds());
  }
  return area;
}

bool FrameClipboard::pasteText(const std::string& text, std::optional<Point32> anchor, bool drop,
                               Rect32& area, bool& cancelled) {
  if (text.empty()) return false;
  if (ViewSelection* sel = frame_.view().selection()) sel->DeselectAll(true);
  bool split = false;
  std::string whole = text;
  if (text.find('\n') != std::string::npos && !drop) {
    const bool ja = frame_.options().japanese;
    const PromptAnswer a = UserPrompts_get().messageBox(
        ja ? Clipboard_splitQuestionJa : Clipboard_splitQuestionEn, "Paste",
        PromptButtons::YesNoCancel, PromptIcon::Question, PromptAnswer::No,
        WindowIds_idOf(&frame_));
    if (a == PromptAnswer::Cancel) {
      cancelled = true;
      return false;
    }
    split = a == PromptAnswer::Yes;
  }
  if (!split) {
    while (!whole.empty() && (whole.back() == '\n' || whole.back() == '\r')) whole.pop_back();
    // The box keeps the note's line ends.
    std::string crlf;
    for (char c : whole) {
      if (c == '\r') continue;
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    whole = crlf;
  }
  area = united(area, textToBoxes(whole, split, anchor));
  return true;
}

bool FrameClipboard::pasteImage(const QMimeData& data, Rect32& area, bool& refused) {
  QImage image;
  for (const char* type : {"image/png", "image/jpeg"}) {
    if (image.isNull() && data.hasFormat(type)) image = QImage::fromData(data.data(type));
  }
  if (image.isNull() && data.hasImage()) image = qvariant_cast<QImage>(data.imageData());
  if (image.isNull()) return false;
  // A picture larger than any page shows is refused, not written.
  constexpr int64_t kMaxPixels = int64_t{64} * 1024 * 1024;
  if (int64_t{image.width()} * image.height() > kMaxPixels) {
    say(frame_.options().japanese ? "画像が大きすぎるため貼り付けません。"
                                  : "The picture is too large to paste.");
    refused = true;
    return false;
  }
  NoteDocument& doc = frame_.document();
  const bool jpeg = frame_.options().defaultImageType == 2;
  char name[48];
  std::snprintf(name, sizeof name, "img_%08X_%d.%s", static_cast<unsigned>(doc.documentNumber()),
                AppCounters_instance().nextImageSerial(), jpeg ? "jpg" : "png");
  const std::string path = StrX_joinPath(doc.workFolder(), name);
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  bool written = true;
  Except_tryCatch(
      [&] {
        if (jpeg) {
          ImageWriters_saveJpeg(rgb.width(), rgb.height(), static_cast<size_t>(rgb.bytesPerLine()),
                                rgb.constBits(), path);
        } else {
          ImageWriters_savePng(rgb.width(), rgb.height(), static_cast<size_t>(rgb.bytesPerLine()),
                               rgb.constBits(), path);
        }
      },
      [&](const Errors_Msg& e) {
        written = false;
        say(e.message());
      });
  if (!written) return false;
  const Point32 at = frame_.view().geometry().scroll;
  CadPrim* made = InsertImageFigure(frame_, {std::max(at.x, 0), std::max(at.y, 0)}, path, false);
  if (made == nullptr) return false;
  area = united(area, {made->GetEdge(0), made->GetEdge(2), image.width(), image.height()});
  return true;
}

bool FrameClipboard::pasteFiles(const QMimeData& data, std::optional<Point32> anchor, bool drop,
                                bool link, Rect32& area) {
  const Point32 at = anchor ? *anchor : Point32{20, 20};
  int32_t index = 0;
  bool missing = false;
  bool made = false;
  const std::string files = NoteDocument_filesFolder(frame_.notePath());
  // A browser's link carries its title (text/x-moz-url: UTF-16 "URL\ntitle").
  QString title;
  if (data.hasFormat("text/x-moz-url")) {
    const QByteArray raw = data.data("text/x-moz-url");
    const QString moz = QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.constData()),
                                           raw.size() / 2);
    const QStringList parts = moz.split('\n');
    if (parts.size() > 1 && data.urls().size() == 1) title = parts[1].trimmed();
  }
  for (const QUrl& url : data.urls()) {
    if (!url.isLocalFile()) {
      // A web address: a link box with the address (or the title a browser
      // gave it).
      const std::string address = QtText_toCp932(url.toString());
      if (address.empty()) continue;
      std::string text = title.isEmpty() ? address : QtText_toCp932(title);
      if (frame_.toolBars().noteBarMode()) text = shortened(text, 24);
      area = united(area, textToBoxes(text, false, Point32{at.x, at.y + 24 * index}, address));
      ++index;
      made = true;
      continue;
    }
    std::optional<std::string> path = Cp932_fromOsPath(url.toLocalFile().toStdString());
    if (!path || !FileX_exists(*path)) {
      missing = true;
      continue;
    }
    std::string target = *path;
    const bool picture = DroppedFile_isPicture(target);
    // A file dropped on a saved note goes into its files folder, copied
    // (or moved with Shift), unless it is a picture or a link was asked.
    if (drop && !link && !files.empty() && !picture && !FileX_isFolder(target)) {
      Except_tryCatch(
          [&] {
            FileX_makeFolders(files, false);
            std::string into = StrX_joinPath(files, StrX_fileName(target));
            for (int n = 2; FileX_exists(into); ++n) into = StrX_numberedName(StrX_joinPath(files, StrX_fileName(target)), n);
            if (!FileX_copyFile(into, target)) Errors_RAISE(FileX_Err_CannotWriteOpen, "%s", into.c_str());
            target = into;
          },
          [&](const Errors_Msg& e) {
            say(e.message());
            target.clear();
          });
      if (target.empty()) continue;
    }
    CadPrim* f = MakeFigureForFile(frame_, at, target, index, link);
    if (f != nullptr) {
      area = united(area, f->GetBounds());
      made = true;
    }
    ++index;
  }
  if (missing) {
    say("ファイルが存在しないか、Brevlo が対応できない文字コードのファイル名のため、リンクの作成に失敗しました。");
  }
  return made;
}

bool FrameClipboard::pasteInk(const QMimeData& data, std::optional<Point32> anchor, Rect32& area) {
  InkEngine* ink = frame_.view().ink();
  if (ink == nullptr) return false;
  const QByteArray bytes = data.data(InkStrokes_mimeType);
  const QByteArray boxBytes = data.data(InkBox_mimeType);
  InkBox box;
  const bool hasBox = InkBox_decode(std::string_view(boxBytes.constData(), boxBytes.size()), box);
  // At the anchor (moved by the anchors' difference), else 8 units a paste.
  int64_t dx = 8 * int64_t{pasteCount}, dy = dx;
  if (anchor && hasBox) {
    dx = int64_t{anchor->x} - box.anchorX;
    dy = int64_t{anchor->y} - box.anchorY;
  }
  const int32_t inkDx = Figure_toInt32(std::llround(double(dx) * Ink_unitsPerPixel));
  const int32_t inkDy = Figure_toInt32(std::llround(double(dy) * Ink_unitsPerPixel));
  if (!ink->paste(std::string_view(bytes.constData(), bytes.size()), inkDx, inkDy)) return false;
  const Rect32 r = Ink_toPageRect(ink->page().selectionBox());
  const Rect32 strokes{r.x - 8, r.y - 8, r.w + 16, r.h + 16};
  if (area.w == 0 && area.h == 0) {
    area = strokes;
  } else {
    const int64_t right = std::max(int64_t{area.x} + area.w, int64_t{strokes.x} + strokes.w);
    const int64_t bottom = std::max(int64_t{area.y} + area.h, int64_t{strokes.y} + strokes.h);
    area.x = std::min(area.x, strokes.x);
    area.y = std::min(area.y, strokes.y);
    area.w = Figure_toInt32(right - area.x);
    area.h = Figure_toInt32(bottom - area.y);
  }
  return true;
}

void FrameClipboard::afterInsert(const Rect32& area) {
  CChildView& view = frame_.view();
  NoteDocument& doc = frame_.document();
  Canvas& canvas = doc.workingSettings();
  // The page grows to hold what came (not undone, as the text says).
  const int64_t right = int64_t{area.x} + area.w, bottom = int64_t{area.y} + area.h;
  if (right > canvas.width() || bottom > canvas.height()) {
    canvas.setSize(std::max<int64_t>(canvas.width(), right), std::max<int64_t>(canvas.height(), bottom));
    view.UpdateScrollSizes();
  }
  view.EnsureVisible({area.x - 8, area.y - 8, area.w + 16, area.h + 16});
  if (ViewSelection* sel = view.selection()) {
    if (sel->TakeSelectionChanged()) view.host().SelectionChanged();
  }
  view.Invalidate();
}

Qt::DropAction FrameClipboard::DropActionFor(const QMimeData& data,
                                             Qt::KeyboardModifiers keys) const {
  if (!frame_.hasNote()) return Qt::IgnoreAction;
  Qt::DropAction fallback = Qt::IgnoreAction;
  Qt::DropActions allowed;
  const QByteArray bytes = data.data(FigureBlock_mimeType);
  FigureBlock block;
  if (!bytes.isEmpty() && FigureBlock_decode(std::string_view(bytes.constData(), bytes.size()), block)) {
    const bool noteBar = frame_.toolBars().noteBarMode();
    const bool sameView = block.sourceWindow == WindowIds_idOf(&frame_);
    const ViewSelection* sel = frame_.view().selection();
    const bool oneUnlinked = sel != nullptr && sel->Selection().size() <= 1 && sel->HoldPrim() != nullptr &&
                             sel->HoldPrim()->GetUrl().empty();
    allowed = Qt::CopyAction | Qt::MoveAction;
    if (sameView && block.records.size() == 1 && oneUnlinked &&
        (block.flags & (FigureBlock_fromNoteBar | FigureBlock_fromViewer)) == 0) {
      fallback = Qt::LinkAction;
      allowed |= Qt::LinkAction;
    } else {
      fallback = !noteBar || (block.flags & FigureBlock_fromNoteBar) != 0 ? Qt::MoveAction
                                                                          : Qt::CopyAction;
    }
  } else if (data.hasUrls()) {
    const QList<QUrl> urls = data.urls();
    bool files = false;
    for (const QUrl& u : urls) files = files || u.isLocalFile();
    if (files) {
      allowed = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
      const bool picture =
          urls.size() == 1 && DroppedFile_isPicture(QtText_toCp932(urls[0].fileName()));
      fallback = picture ? Qt::CopyAction : Qt::LinkAction;
    } else {
      allowed = Qt::LinkAction;
      fallback = Qt::LinkAction;
    }
  } else if (data.hasText()) {
    allowed = Qt::CopyAction;
    fallback = Qt::CopyAction;
  } else {
    return Qt::IgnoreAction;
  }
  const bool shift = (keys & Qt::ShiftModifier) != 0, ctrl = (keys & Qt::ControlModifier) != 0;
  const Qt::DropAction chosen = shift && ctrl ? Qt::LinkAction
                                : shift       ? Qt::MoveAction
                                : ctrl        ? Qt::CopyAction
                                              : fallback;
  return allowed.testFlag(chosen) ? chosen : fallback;
}

bool FrameClipboard::moveHere(const FigureBlock& block, Point32 at) {
  NoteDocument& doc = frame_.document();
  FigureList& list = doc.workingFigures();
  std::vector<int32_t> numbers;
  for (const auto& f : FigureBlock_figures(block, &frame_.metrics())) numbers.push_back(f->GetNumber());
  if (numbers.empty()) return false;
  std::vector<CadPrim*> moved;
  for (const auto& f : list) {
    if (std::find(numbers.begin(), numbers.end(), f->GetNumber()) != numbers.end()) moved.push_back(f.get());
  }
  if (moved.size() != numbers.size()) return false;  // not all on this page
  const int32_t dx = Figure_toInt32(int64_t{at.x} - block.anchorX);
  const int32_t dy = Figure_toInt32(int64_t{at.y} - block.anchorY);
  std::vector<std::unique_ptr<CadPrim>> before = Undo_copyFigures(list);
  for (CadPrim* f : moved) f->SetMoveMark(true);
  for (CadPrim* f : moved) f->MoveBy(dx, dy);
  for (CadPrim* f : moved) f->SetMoveMark(false);
  Undo_recordChanged(frame_.undo(), std::move(before), doc, doc.currentPageNumber());
  return true;
}

bool FrameClipboard::shortcutsFor(const FigureBlock& block, Point32 at) {
  std::vector<std::unique_ptr<CadPrim>> figures = FigureBlock_figures(block, &frame_.metrics());
  Rect32 area;
  Point32 place = at;
  UndoGroup group(frame_.undo());
  for (const auto& f : figures) {
    const bool box = isText(*f);
    const bool picture = f->GetKind() == FigureKind_Rect && static_cast<Rect_Ex&>(*f).shape == RectShape_Image;
    if (!box && !picture) continue;
    if (f->GetId().empty()) {
      say("リンク先に id が設定されていないため、ショートカットの作成を中止しました");
      return false;
    }
    std::string text = box ? static_cast<Text_Box&>(*f).text() : std::string("ショートカット");
    if (frame_.toolBars().noteBarMode()) text = shortened(text, 24);
    area = united(area, textToBoxes(text, false, place, block.notePath + "#" + f->GetId()));
    place.y += 24;
  }
  if (area.w <= 0 && area.h <= 0) return false;
  afterInsert(area);
  return true;
}

Qt::DropAction FrameClipboard::Drop(const QMimeData& data, Point32 at, Qt::DropAction action) {
  if (!frame_.hasNote() || action == Qt::IgnoreAction) return Qt::IgnoreAction;
  const QByteArray bytes = data.data(FigureBlock_mimeType);
  FigureBlock block;
  if (!bytes.isEmpty() && FigureBlock_decode(std::string_view(bytes.constData(), bytes.size()), block)) {
    const bool sameView = block.sourceWindow == WindowIds_idOf(&frame_);
    if (action == Qt::LinkAction) return shortcutsFor(block, at) ? Qt::LinkAction : Qt::IgnoreAction;
    if (sameView && action == Qt::MoveAction) {
      if (moveHere(block, at)) {
        afterInsert({at.x, at.y, 1, 1});
        return Qt::CopyAction;  // moved here: the source deletes nothing
      }
      say("別のページに移動することには対応できていません。コピーします。");
      action = Qt::CopyAction;
    }
  }
  return Insert(data, at, true, action == Qt::LinkAction) ? action : Qt::IgnoreAction;
}

Qt::DropAction FrameClipboard::DragOut(Point32 anchor) {
  if (!frame_.hasNote()) return Qt::IgnoreAction;
  bool wholePage = false;
  const std::vector<const CadPrim*> figures = copySource(wholePage);
  if (figures.empty() || wholePage) return Qt::IgnoreAction;
  std::unique_ptr<QMimeData> mime = MimeOf(figures, anchor, false);
  // The files the figures link to, for file managers.
  QList<QUrl> urls;
  for (const CadPrim* f : figures) {
    const std::string url = f->GetUrl();
    if (url.empty() || url.front() == '#' || url.find("://") != std::string::npos) continue;
    std::string path = url.substr(0, url.find('#'));
    if (!frame_.notePath().empty()) StrX_makeAbsolute(path, path, StrX_parentFolder(frame_.notePath()));
    if (!FileX_exists(path)) continue;
    if (std::optional<std::string> os = Cp932_toOsPath(path)) urls << QUrl::fromLocalFile(QString::fromStdString(*os));
  }
  if (!urls.isEmpty()) mime->setUrls(urls);
  bool locked = frame_.toolBars().viewerMode();
  for (const CadPrim* f : figures) locked = locked || f->IsLocked();
  const Qt::DropActions allowed =
      locked ? Qt::CopyAction | Qt::LinkAction : Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  std::vector<int32_t> numbers;
  for (const CadPrim* f : figures) numbers.push_back(f->GetNumber());
  Qt::DropAction done = Qt::IgnoreAction;
  QPointer<CMainFrame> self(&frame_);
  if (dragExec) {
    done = dragExec(mime.release(), allowed);
  } else {
    auto* drag = new QDrag(&frame_);  // the drag deletes itself
    drag->setMimeData(mime.release());
    done = drag->exec(allowed, Qt::MoveAction);
  }
  if (self.isNull() || !frame_.hasNote()) return done;
  if (done == Qt::MoveAction) {
    // Moved away: what was dragged goes, found again by number (the drop
    // may have changed this page meanwhile).
    std::vector<CadPrim*> still;
    for (int32_t n : numbers) {
      if (CadPrim* f = frame_.document().workingFigures().FindFigureByNumber(n)) still.push_back(f);
    }
    if (!still.empty()) {
      frame_.view().selection()->SelectFigures(still, still.front());
      frame_.commands().run(Cmd_Delete);
    }
  }
  return done;
}

bool FrameClipboard::PasteStyle() {
  const QClipboard* clip = QGuiApplication::clipboard();
  const QMimeData* data = clip != nullptr ? clip->mimeData() : nullptr;
  if (data == nullptr || !frame_.hasNote()) return false;
  // Selected ink takes the attributes of the clipboard's first stroke.
  if (InkEngine* ink = frame_.view().ink(); ink != nullptr && ink->hasSelection()) {
    const QByteArray strokes = data->data(InkStrokes_mimeType);
    if (!strokes.isEmpty() && ink->pasteStyle(std::string_view(strokes.constData(), strokes.size())))
      return true;
  }
  const QByteArray bytes = data->data(FigureBlock_mimeType);
  FigureBlock block;
  if (bytes.isEmpty() ||
      !FigureBlock_decode(std::string_view(bytes.constData(), bytes.size()), block) ||
      (block.flags & FigureBlock_wholePage) != 0)
    return false;
  std::vector<std::unique_ptr<CadPrim>> samples = FigureBlock_figures(block, &frame_.metrics());
  ViewSelection* sel = frame_.view().selection();
  if (sel == nullptr) return false;
  NoteDocument& doc = frame_.document();
  bool changed = false;
  {
    UndoGroup group(frame_.undo());
    for (const auto& sample : samples) {
      for (CadPrim* f : sel->Selection()) {
        if (f->GetKind() != sample->GetKind()) continue;
        std::unique_ptr<CadPrim> before = Undo_copyOf(*f, &doc.workingFigures());
        f->CopyStyleFrom(*sample, 0);
        changed = frame_.undo().RecordChange(std::move(before), *f, doc, doc.currentPageNumber()) ||
                  changed;
      }
    }
  }
  frame_.view().Invalidate();
  return changed;
}

void FrameClipboard_register(CommandTable& table, CMainFrame& frame) {
  const bool ja = frame.options().japanese;
  auto t = [ja](const char* j, const char* e) { return std::string(ja ? j : e); };
  const std::string edit = t("編集(&E)", "&Edit");
  FrameClipboard* clip = &frame.clipboard();
  using K = QKeySequence;
  table.add(Cmd_Cut, t("切り取り(&T)", "Cu&t"), edit, {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)},
            [clip] { clip->Cut(); });
  table.add(Cmd_Copy, t("コピー(&C)", "&Copy"), edit, {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)},
            [clip] { clip->Copy(); });
  table.add(Cmd_Paste, t("貼り付け(&P)", "&Paste"), edit,
            {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)}, [clip] { clip->Paste(); });
  table.add(Cmd_CopyStyle, t("ｽﾀｲﾙをｺﾋﾟｰ(&C)", "Copy Style(&C)"), edit,
            {K(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}, [clip] { clip->Copy(); });
  table.add(Cmd_PasteStyle, t("スタイルを貼り付け(&Y)", "Paste St&yle"), edit,
            {K(Qt::CTRL | Qt::SHIFT | Qt::Key_V)}, [clip] { clip->PasteStyle(); });
  CMainFrame* f = &frame;
  // Cut and copy need something held (or the page tree's page, or a text
  // being written); paste something the page can take.
  auto held = [f] {
    const ViewSelection* sel = f->hasNote() ? f->view().selection() : nullptr;
    return f->view().inPlace().active() || f->pages().tree().hasFocus() ||
           (sel != nullptr && (sel->HoldPrim() != nullptr || !sel->Selection().empty())) ||
           (f->view().ink() != nullptr && f->view().ink()->hasSelection());
  };
  table.add(Cmd_CopyAtPoint, t("コピー(&C)", "&Copy"), {}, {},
            [clip, f] { clip->Copy(f->view().contextMenus().lastPoint()); });
  table.add(Cmd_PasteAtPoint, t("貼り付け(&V)", "&Paste"), {}, {},
            [clip, f] { clip->Paste(f->view().contextMenus().lastPoint()); });
  table.setEnabledRule(Cmd_Cut, held);
  table.setEnabledRule(Cmd_Copy, held);
  table.setEnabledRule(Cmd_CopyAtPoint, held);
  table.setEnabledRule(Cmd_CopyStyle, held);
  auto pasteable = [f] {
    const QClipboard* c = QGuiApplication::clipboard();
    const QMimeData* d = c != nullptr ? c->mimeData() : nullptr;
    return f->hasNote() && d != nullptr &&
           (d->hasFormat(FigureBlock_mimeType) || d->hasFormat(InkStrokes_mimeType) || d->hasText() ||
            d->hasUrls() || d->hasImage() ||
            d->hasFormat("image/png") || d->hasFormat("image/jpeg"));
  };
  table.setEnabledRule(Cmd_Paste, pasteable);
  table.setEnabledRule(Cmd_PasteAtPoint, pasteable);
  table.add(Cmd_PasteDate, t("日付時刻名前貼り付け", "Paste Time Stamp"), edit, {K(Qt::CTRL | Qt::Key_T)},
            [f, ja] {
              UserPrompts_get().messageBox(
                  ja ? "日付を貼り付ける位置でクリックしてください" : "Click the place on setting the time stamp.",
                  "Zerbin", PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok,
                  WindowIds_idOf(f));
              f->view().ChooseTool(EditTool_dateText);
            });
}
