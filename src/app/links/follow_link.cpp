#include "app/links/follow_link.h"

#include <algorithm>


#include "app/links/frame_links.h"
#include "app/links/safe_files.h"
#include "app/links/shell_services.h"
#include "app/mainframe/main_frame.h"
#include "app/saving/save_commands.h"
#include "app/settings/settings.h"
#include "app/toolbars/tool_bars.h"
#include "app/windows/window_list.h"
#include "core/filex/filex_info.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/kwdsearch/kwdsearch.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_escape.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/selection/view_selection.h"

// Qt after the core headers (its `emit` macro).
#include <QPointer>
#include <QProcess>
#include <QString>

namespace {

constexpr size_t kLinkSize = 4096;

const char* tr(CMainFrame& frame, const char* ja, const char* en) {
  return frame.options().japanese ? ja : en;
}

void box(CMainFrame& frame, const std::string& text, std::string_view title) {
  UserPrompts_get().messageBox(text, title, PromptButtons::Ok, PromptIcon::Warning,
                               PromptAnswer::Ok, WindowIds_idOf(&frame));
}

// "path が見つかりません。" titled "リンク先エラー"; a "%name%" that no
// variable defines is named below it.
void notFound(CMainFrame& frame, const std::string& path, const std::string& undefinedVar) {
  std::string text = path + tr(frame, " が見つかりません。", " Not Found.");
  if (!undefinedVar.empty()) {
    text += tr(frame, "\r\nパス変数 %", "\r\nThe path variable %");
    text += undefinedVar;
    text += tr(frame, "% が定義されていません。", "% is not defined.");
  }
  box(frame, text, tr(frame, "リンク先エラー", "Link Error"));
}

bool isWebScheme(std::string_view s) {
  for (const char* scheme : {"http://", "https://", "ftp://", "file://"}) {
    if (StrX_startsWithNoCase(s, scheme)) return true;
  }
  return false;
}

// A "scheme://" text of any scheme.
bool hasScheme(std::string_view s) {
  const size_t colon = s.find("://");
  if (colon == std::string_view::npos || colon == 0) return false;
  for (size_t i = 0; i < colon; ++i) {
    const char c = s[i];
    if (!StrX_isAsciiAlpha(c) && !StrX_isAsciiDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

UserPathVariables* variablesOf(CMainFrame& frame) {
  return frame.options().windows ? &frame.options().windows->pathVariables() : nullptr;
}

std::string expandVariables(CMainFrame& frame, const std::string& text) {
  if (UserPathVariables* v = variablesOf(frame)) return v->expand(text, kLinkSize);
  std::string s = text;
  StrX_expandVariables(s, kLinkSize);
  return s;
}

std::string undefinedVariable(CMainFrame& frame, const std::string& text) {
  if (UserPathVariables* v = variablesOf(frame)) return v->undefinedName(text);
  return UserPathVariables().undefinedName(text);
}

// "kw" links: "note?kw=word" becomes the target of the keyword's anchor
// in that file; nothing found keeps the text (the '?' is then part of the
// path).
std::string resolveKeyword(CMainFrame& frame, const std::string& link, const CadPrim* source) {
  const size_t q = link.find('?');
  if (q == std::string::npos || StrX_isUrl(link)) return link;
  std::string list;
  Except_tryCatch([&] { StrX_urlQueryToList(list, link); }, [&](const Errors_Msg&) { list.clear(); });
  std::optional<std::string> word = list.empty() ? std::nullopt : StrX_listLookup(list, "kw");
  if (!word || word->empty()) return link;
  if (*word == "." && source != nullptr && source->GetKind() == FigureKind_Text) {
    *word = static_cast<const Text_Box*>(source)->text();
  }
  std::string file = link.substr(0, q);
  if (!file.empty() && !StrX_isAbsolutePath(file) && !frame.notePath().empty()) {
    Except_tryCatch([&] { StrX_resolveLink(file, file, frame.notePath(), kLinkSize); },
                    [&](const Errors_Msg&) {});
  }
  if (file.empty()) file = frame.notePath();
  KwdSearch own;
  KwdSearch& engine = frame.options().windows ? frame.options().windows->keywordSearch() : own;
  std::optional<std::string> found;
  Except_tryCatch([&] { found = engine.resolveKeywordLink(file, *word); },
                  [&](const Errors_Msg&) { found.reset(); });
  return found ? *found : link;
}

// The SearchOpen command line with "%1" the path and "%2" the fragment
// (its double quotes written as \'), split into words without a shell.
bool runSearchOpen(CMainFrame& frame, const std::string& command, const std::string& path,
                   const std::string& fragment) {
  std::string frag;
  for (char c : fragment) frag += c == '"' ? std::string("\\'") : std::string(1, c);
  QStringList words = QProcess::splitCommand(QtText_fromCp932(command));
  std::string shown = command;
  if (words.isEmpty()) return false;
  std::vector<std::string> args;
  for (qsizetype i = 1; i < words.size(); ++i) {
    QString w = words[i];
    w.replace(QStringLiteral("%1"), QtText_fromCp932(path));
    w.replace(QStringLiteral("%2"), QtText_fromCp932(frag));
    args.push_back(QtText_toCp932(w));
  }
  if (ShellServices_get().startDetached(QtText_toCp932(words[0]), args)) return true;
  box(frame, tr(frame, "次のコマンドが失敗しました：\r\n", "The next command failed:\r\n") + shown,
      "Brevlo 3.10");
  return false;
}

// The safe-file check: listed files open at once; others after the
// confirmation, whose "do not ask again" adds "*.<ext>" to the list.
bool safeToOpen(CMainFrame& frame, const std::string& path) {
  WindowList* windows = frame.options().windows;
  const std::string list = windows ? windows->folder("%security%/safefiles.txt") : std::string();
  if (!list.empty() && SafeFiles_isSafe(list, path)) return true;
  const std::string pattern = SafeFiles_patternOf(path);
  std::string ext = StrX_extension(path);
  const std::string text =
      tr(frame, "このファイルを開きますか？\r\n", "Do you open this file?\r\n") + path +
      tr(frame, "\r\n種類: ", "\r\nType: ") + (ext.empty() ? std::string("-") : ext);
  bool never = false;
  const PromptAnswer a = UserPrompts_get().confirmWithCheck(
      text, tr(frame, "ファイルを開く確認", "Open File"),
      std::string(tr(frame, "今後は確認しない (", "Do not ask again (")) + pattern + ")", never,
      PromptAnswer::Cancel, WindowIds_idOf(&frame));
  if (a != PromptAnswer::Ok) return false;
  if (never && !list.empty() && pattern != "*") {
    Except_tryCatch([&] { SafeFiles_add(list, pattern); },
                    [&](const Errors_Msg& e) { box(frame, e.message(), "Brevlo 3.10"); });
  }
  return true;
}

void selectById(CMainFrame& frame, const std::string& id) {
  ViewSelection* sel = frame.view().selection();
  if (sel == nullptr || id.empty() || !frame.hasNote()) return;
  CadPrim* f = NoteDocument_findFigureById(frame.document().workingFigures(), id);
  if (f == nullptr || f->GetKind() == FigureKind_Canvas) return;
  sel->SelectOnly(*f);
  sel->TakeSelectionChanged();
  frame.view().EnsureVisible(f->GetBounds());
  frame.view().Invalidate();
}

// The window replaced by a jump goes: the close question was answered (or
// the note was not modified), so the close asks nothing more.
void postClose(CMainFrame& frame) {
  frame.links().closeAnswered = true;
  QMetaObject::invokeMethod(&frame, "close", Qt::QueuedConnection);
}

void pushHere(CMainFrame& frame, int32_t kind) {
  if (kind == LinkKind_Jump) frame.links().history.push(CMainFrame_place(frame));
}

}  // namespace

LinkHistoryEntry CMainFrame_place(CMainFrame& frame) {
  LinkHistoryEntry e;
  e.path = frame.notePath();
  e.page = frame.hasNote() ? frame.document().currentPageNumber() : 1;
  const ViewGeometry& g = frame.view().geometry();
  e.scrollX = g.scroll.x;
  e.scrollY = g.scroll.y;
  e.zoom = g.zoom;
  e.zoomMode = g.zoomMode;
  if (ViewSelection* sel = frame.view().selection(); sel && sel->HoldPrim()) {
    e.selectedId = sel->HoldPrim()->GetId();
  }
  return e;
}

void CMainFrame_restorePlace(CMainFrame& frame, const LinkHistoryEntry& place) {
  if (!frame.hasNote()) return;
  frame.SelectPageNumber(place.page);
  CChildView& view = frame.view();
  if (place.zoomMode != ViewZoom_Fixed) {
    view.SetZoomMode(place.zoomMode);
  } else if (place.zoom != view.geometry().zoom) {
    view.SetZoom(place.zoom, 1, view.ClientToCanvas({0, 0}));
  }
  view.ScrollTo({place.scrollX, place.scrollY});
  if (ViewSelection* sel = view.selection()) {
    sel->DeselectAll(true);
    sel->TakeSelectionChanged();
  }
  selectById(frame, place.selectedId);
  view.ScrollTo({place.scrollX, place.scrollY});
}

bool CMainFrame_goToName(CMainFrame& frame, const std::string& name) {
  if (!frame.hasNote()) return false;
  // "pageN" is the id the note file gives the group of page N.
  bool pageId = name.size() > 4 && name.size() < 14 && StrX_startsWithNoCase(name, "page");
  for (size_t i = 4; pageId && i < name.size(); ++i) pageId = StrX_isAsciiDigit(name[i]);
  if (!frame.SelectPageByText(name) && !(pageId && frame.SelectPageNumber(std::stoi(name.substr(4))))) {
    box(frame, std::string("リンク先") + name + "が見つかりません", "Brevlo 3.10");
    return false;
  }
  if (ViewSelection* sel = frame.view().selection()) {
    sel->DeselectAll(true);
    sel->TakeSelectionChanged();
  }
  selectById(frame, name);
  return true;
}

namespace {

CMainFrame* followLink(CMainFrame& frame, FollowLinkRequest req) {
  FrameLinks& links = frame.links();
  WindowList* windows = frame.options().windows;
  // 1. A pinned window is never replaced; other targets never close it.
  if (links.pinned && (req.target.empty() || req.target == "_top")) req.target = "_blank";
  const bool mayClose = (req.target.empty() || req.target == "_top") && windows != nullptr;

  // 2. The place being left.
  if (req.kind == LinkKind_Jump) links.history.update(CMainFrame_place(frame));

  // 4. The link.
  std::string link = req.link;
  if (req.openDialog) {
    std::string path = frame.notePath().empty() ? std::string() : StrX_parentFolder(frame.notePath());
    const char* filter = tr(frame,
                            "SVG形式 Scalable Vector Graphics (*.svg, *.svgz)|*.svg;*.svgz|すべてのファイル (*.*)|*.*||",
                            "SVG format  Scalable Vector Graphics (*.svg, *.svgz)|*.svg;*.svgz|All Files (*.*)|*.*||");
    if (!UserPrompts_get().openFileName(tr(frame, "開く", "Open"), filter, path,
                                        WindowIds_idOf(&frame)))
      return nullptr;
    link = path;
  }
  if (req.source != nullptr) links.lastFollowedId = req.source->GetId();

  // 5-7. Variables, keyword links, the fragment.
  const std::string written = link;
  link = expandVariables(frame, link);
  link = resolveKeyword(frame, link, req.source);
  std::string path = link, fragment;
  if (const size_t hash = link.find('#'); hash != std::string::npos && !isWebScheme(link)) {
    path = link.substr(0, hash);
    fragment = link.substr(hash + 1);
  }

  // A "file://" address names a file of this machine: it takes the road
  // of local files (notes in windows, the safe-file check), never the
  // shell unchecked.
  const bool fileUrl = StrX_startsWithNoCase(link, "file://");
  if (fileUrl) {
    std::string local = link.substr(7);
    if (StrX_startsWithNoCase(local, "localhost/")) local.erase(0, 9);
    fragment.clear();
    if (const size_t hash = local.find('#'); hash != std::string::npos) {
      fragment = local.substr(hash + 1);
      local.resize(hash);
    }
    path = StrX_urlDecode(local);  // %hh are bytes
  }

  // 8. Web addresses.
  if (isWebScheme(link) && !fileUrl) {
    if (std::count(link.begin(), link.end(), '?') >= 2) {
      box(frame, "キーワードを入力するテキストボックスが見つかりません", "Brevlo 3.10");
      return nullptr;
    }
    ShellServices_get().openWithDefault(link);
    return nullptr;
  }
  if (!path.empty() && !hasScheme(path) && !StrX_startsWithNoCase(path, "mk:")) {
    path = StrX_toSlashPath(path);
    if (!StrX_isAbsolutePath(path)) {
      const std::string base = frame.notePath().empty() ? StrX_currentFolderOrEmpty()
                                                         : StrX_parentFolder(frame.notePath());
      bool ok = true;
      Except_tryCatch([&] { StrX_makeAbsolute(path, path, base, kLinkSize); },
                      [&](const Errors_Msg&) { ok = false; });
      if (!ok) {
        notFound(frame, path, undefinedVariable(frame, written));
        return nullptr;
      }
    }
  }

  // Inside this note.
  const bool restore = req.kind == LinkKind_Back || req.kind == LinkKind_Forward;
  if ((path.empty() && (!fragment.empty() || restore)) ||
      (!path.empty() && !frame.notePath().empty() && FileX_sameFile(path, frame.notePath()))) {
    if (restore) {
      CMainFrame_restorePlace(frame, req.restore);
    } else if (!fragment.empty()) {
      if (!CMainFrame_goToName(frame, fragment)) return &frame;
      pushHere(frame, req.kind);
    }
    return &frame;
  }

  // An empty path: an untitled note in the target window, else this
  // window emptied.
  if (path.empty()) {
    if (windows != nullptr && !req.target.empty() && req.target != "_top") {
      return windows->openNote("", req.target, true);
    }
    if (frame.hasNote() && !NoteSave_queryClose(frame)) return nullptr;
    frame.NewNote();
    pushHere(frame, req.kind);
    return &frame;
  }

  const bool exists = FileX_exists(path);
  if (!exists) {
    if (hasScheme(path) || StrX_startsWithNoCase(path, "mk:")) {
      if (ShellServices_get().openWithDefault(link)) return nullptr;
    }
    notFound(frame, path, undefinedVariable(frame, written));
    return nullptr;
  }
  if (FileX_isFolder(path)) {
    ShellServices_get().openWithDefault(path);
    return nullptr;
  }
  const std::string ext = StrX_extension(path);
  if (!StrX_equalsNoCase(ext, "svg") && !StrX_equalsNoCase(ext, "svgz")) {
    const std::string searchOpen = windows ? windows->settings().searchOpen : std::string();
    if (!fragment.empty() && StrX_startsWithNoCase(ext, "htm")) {
      // A page with a fragment is a file like any other: checked first.
      if (safeToOpen(frame, path)) ShellServices_get().openWithDefault(path + "#" + fragment);
    } else if (!fragment.empty() && !searchOpen.empty()) {
      runSearchOpen(frame, searchOpen, path, fragment);
    } else if (safeToOpen(frame, path)) {
      ShellServices_get().openWithDefault(path);
    }
    return nullptr;
  }

  // Another note.
  if (windows == nullptr) return nullptr;
  const bool takeOver = mayClose && !links.pinned && links.history.chainCount() <= 1;
  // 3. The window to be replaced asks its close question first; Cancel
  // ends the jump.
  if (takeOver && !NoteSave_queryClose(frame)) return nullptr;
  QPointer<CMainFrame> self(&frame);
  CMainFrame* reached = windows->openNote(fragment.empty() || restore ? path : path + "#" + fragment,
                                          req.target, false);
  if (reached == nullptr || self.isNull()) return reached;
  if (restore) CMainFrame_restorePlace(*reached, req.restore);
  if (reached == &frame) return reached;
  if (takeOver) {
    reached->links().history.adoptChain(links.history.takeChain());
    if (req.kind == LinkKind_Jump) reached->links().history.push(CMainFrame_place(*reached));
    postClose(frame);
  } else if (req.kind == LinkKind_Back) {
    links.history.unstep(+1);
  } else if (req.kind == LinkKind_Forward) {
    links.history.unstep(-1);
  }
  return reached;
}

}  // namespace

void LinkCommands_refresh(CMainFrame& frame) {
  if (QAction* a = frame.commands().action(Cmd_LinkBack)) a->setEnabled(frame.links().history.canBack());
  if (QAction* a = frame.commands().action(Cmd_LinkForward)) a->setEnabled(frame.links().history.canForward());
}

CMainFrame* CMainFrame_followLink(CMainFrame& frame, FollowLinkRequest req) {
  QPointer<CMainFrame> self(&frame);
  CMainFrame* reached = followLink(frame, std::move(req));
  if (!self.isNull()) LinkCommands_refresh(frame);
  if (reached != nullptr && reached != &frame) LinkCommands_refresh(*reached);
  return reached;
}

CMainFrame* CMainFrame_followFigureLink(CMainFrame& frame, const CadPrim& figure, bool newWindow) {
  std::string url = figure.GetUrl();
  if (url.empty() || StrX_startsWithNoCase(url, "script:")) return nullptr;
  FollowLinkRequest req;
  req.link = url;
  req.source = &figure;
  // A note bar keeps its note: a link opens in a window of its own.
  req.target = newWindow || frame.toolBars().noteBarMode() ? std::string("_blank")
                                                          : figure.GetTarget();
  return CMainFrame_followLink(frame, req);
}

void CMainFrame_recordedMove(CMainFrame& frame, const std::function<void()>& move) {
  frame.links().history.update(CMainFrame_place(frame));
  move();
  frame.links().history.push(CMainFrame_place(frame));
  LinkCommands_refresh(frame);
}

void CMainFrame_linkClicked(CMainFrame& frame, const CadPrim& figure) {
  QPointer<CMainFrame> self(&frame);
  // Read first: following the link may free the figure.
  const int32_t after = figure.GetAfterClick();
  CMainFrame* reached = CMainFrame_followFigureLink(frame, figure, false);
  // After the click: 2 and 3 show the note reached in viewer mode, 1 and 3
  // close the window clicked in (when the note went to another window).
  if ((after == 2 || after == 3) && reached != nullptr) reached->toolBars().setViewerMode(true);
  if ((after == 1 || after == 3) && reached != nullptr && reached != &frame && !self.isNull()) {
    QMetaObject::invokeMethod(&frame, [self] {
      if (!self.isNull()) self->close();
    }, Qt::QueuedConnection);
    return;
  }
  if (self.isNull() || reached == &frame || frame.links().closeAnswered) return;
  // In a note bar the selection stays.
  if (frame.toolBars().noteBarMode()) return;
  if (ViewSelection* sel = frame.view().selection()) {
    sel->DeselectAll(true);
    sel->TakeSelectionChanged();
    frame.view().Invalidate();
  }
}

bool CMainFrame_historyStep(CMainFrame& frame, int direction) {
  LinkHistory& h = frame.links().history;
  const LinkHistoryEntry here = CMainFrame_place(frame);
  std::optional<LinkHistoryEntry> to = direction < 0 ? h.back(here) : h.forward(here);
  if (!to) return false;
  FollowLinkRequest req;
  req.kind = direction < 0 ? LinkKind_Back : LinkKind_Forward;
  req.link = to->path;
  req.restore = *to;
  QPointer<CMainFrame> self(&frame);
  CMainFrame* reached = CMainFrame_followLink(frame, req);
  // A place that cannot be shown again leaves the history where it was.
  if (reached == nullptr && !self.isNull()) {
    h.unstep(direction < 0 ? +1 : -1);
    LinkCommands_refresh(frame);
  }
  return reached != nullptr;
}
