// The commands of links and link addresses of a main window.
#include "app/links/follow_link.h"
#include "app/links/frame_links.h"
#include "app/links/path_variables.h"
#include "app/links/shell_services.h"
#include "app/mainframe/main_frame.h"
#include "document/note/note_document.h"
#include "app/windows/window_list.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "undo/undo_history.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/selection/view_selection.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

const char* tr(CMainFrame& frame, const char* ja, const char* en) {
  return frame.options().japanese ? ja : en;
}

CadPrim* held(CMainFrame& frame) {
  ViewSelection* sel = frame.view().selection();
  return sel ? sel->HoldPrim() : nullptr;
}

// The held figure's link: its url unless that is a script.
std::string heldLink(CMainFrame& frame) {
  CadPrim* f = held(frame);
  if (f == nullptr) return {};
  std::string url = f->GetUrl();
  return StrX_startsWithNoCase(url, "script:") ? std::string() : url;
}

PromptAnswer box(CMainFrame& frame, const std::string& text, std::string_view title,
                 PromptButtons buttons = PromptButtons::Ok, PromptAnswer def = PromptAnswer::Ok) {
  return UserPrompts_get().messageBox(text, title, buttons, PromptIcon::Warning, def,
                                      WindowIds_idOf(&frame));
}

void notFoundBox(CMainFrame& frame, const std::string& path) {
  box(frame, path + tr(frame, " が見つかりません。", " Not Found."),
      tr(frame, "リンク先エラー", "Link Error"));
}

std::string expand(CMainFrame& frame, const std::string& text) {
  if (WindowList* w = frame.options().windows) return w->pathVariables().expand(text);
  return UserPathVariables().expand(text);
}

// A link made absolute against the note's folder.
std::string absoluteLink(CMainFrame& frame, std::string link) {
  link = StrX_toSlashPath(link);
  if (link.empty() || StrX_isAbsolutePath(link) || StrX_isUrl(link)) return link;
  const std::string base = frame.notePath().empty() ? StrX_currentFolderOrEmpty()
                                                     : StrX_parentFolder(frame.notePath());
  Except_tryCatch([&] { StrX_makeAbsolute(link, link, base, 4096); }, [](const Errors_Msg&) {});
  return link;
}

void setClipboard(const std::string& text) {
  QGuiApplication::clipboard()->setText(QtText_fromCp932(text));
}

// 33102: the link target's folder, with the target selected.
void findLinkTarget(CMainFrame& frame) {
  std::string link = heldLink(frame);
  if (link.empty()) return;
  if (const size_t q = link.find('?'); q != std::string::npos) link.resize(q);
  if (const size_t h = link.find('#'); h != std::string::npos) link.resize(h);
  link = absoluteLink(frame, expand(frame, link));
  const std::string folder = StrX_parentFolder(link);
  if (!FileX_isFolder(folder)) {
    notFoundBox(frame, folder);
    return;
  }
  if (FileX_exists(link)) {
    ShellServices_get().showSelected(link);
    CadPrim* f = held(frame);
    if (f != nullptr && f->GetTarget().empty()) frame.close();
    return;
  }
  ShellServices_get().openWithDefault(folder);
  notFoundBox(frame, link);
}

// 33127: the folder of the note's attached files.
void openFilesFolder(CMainFrame& frame) {
  if (frame.notePath().empty()) return;
  const std::string folder = NoteDocument_filesFolder(frame.notePath());
  if (!FileX_isFolder(folder)) {
    const std::string text =
        tr(frame, "ファイル格納用フォルダがありません。作成しますか？", "Not found files folder. Make it?") +
        std::string("\r\n") + folder;
    if (box(frame, text, tr(frame, "リンク先エラー", "Link Error"), PromptButtons::YesNo,
            PromptAnswer::No) != PromptAnswer::Yes)
      return;
    Except_tryCatch([&] { FileX_makeFolders(folder, false); },
                    [&](const Errors_Msg& e) { box(frame, e.message(), "Brevlo 3.10"); });
    if (!FileX_isFolder(folder)) return;
  }
  ShellServices_get().openWithDefault(folder);
}

// The clipboard's text (at most 4095 bytes), trimmed, without one pair of
// enclosing double quotes.
std::string clipboardAddress() {
  std::string text = QtText_toCp932(QGuiApplication::clipboard()->text());
  text.resize(Cp932_cutLength(text, 4095));
  StrX_trim(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  return text;
}

bool pasteAllowed(const CadPrim* f) {
  return f != nullptr && (f->GetKind() == FigureKind_Rect || f->GetKind() == FigureKind_Text) &&
         !QGuiApplication::clipboard()->text().isEmpty();
}

// The change of `f` made by `change`, recorded as one undo step.
template <class F>
void changeHeld(CMainFrame& frame, CadPrim& f, F change) {
  if (!frame.hasNote()) return;
  std::unique_ptr<CadPrim> before = Undo_copyOf(f, &frame.document().workingFigures());
  change();
  frame.undo().RecordChange(std::move(before), f, frame.document(),
                            frame.document().currentPageNumber());
  frame.view().Invalidate();
}

// The address in the form a link keeps: below a user path variable that
// does not also hold the note, "%name%/rest"; else relative to the note's
// folder.  (Every path here shares the root "/", so a relative form always
// exists: the variable is tried first or it would never be used.)
std::string linkForm(CMainFrame& frame, const std::string& address) {
  std::string a = StrX_toSlashPath(address);
  if (WindowList* w = frame.options().windows) {
    const std::string v = w->pathVariables().toVariableForm(a, frame.notePath());
    if (v != a) return v;
  }
  if (!frame.notePath().empty()) a = StrX_makeRelative(a, StrX_parentFolder(frame.notePath()));
  return a;
}

// 33162 / 33187.
void pasteAddress(CMainFrame& frame, bool withText) {
  CadPrim* f = held(frame);
  if (!pasteAllowed(f)) return;
  std::string link = linkForm(frame, clipboardAddress());
  if (withText && f->GetKind() == FigureKind_Text) {
    if (const size_t h = link.find('#'); h != std::string::npos) link.resize(h);
    std::string first = static_cast<Text_Box*>(f)->text();
    if (const size_t nl = first.find_first_of("\r\n"); nl != std::string::npos) first.resize(nl);
    StrX_trim(first);
    first.resize(Cp932_cutLength(first, 255));
    link += "#" + first;
  }
  changeHeld(frame, *f, [&] { f->SetUrl(link); });
}

// 33246.
void pasteToLinkFragment(CMainFrame& frame) {
  CadPrim* f = held(frame);
  if (f == nullptr || f->GetKind() != FigureKind_Text) return;
  const std::string text = clipboardAddress();
  if (text.empty()) return;
  auto* box = static_cast<Text_Box*>(f);
  std::string link = box->GetUrl();
  if (const size_t h = link.find('#'); h != std::string::npos) link.resize(h);
  const std::string ext = StrX_extension(link);
  changeHeld(frame, *f, [&] {
    box->SetUrl(link + "#" + text);
    box->SetText(text + (ext.empty() ? std::string(" (file)") : " (." + ext + ")"));
  });
}

void openFolder(CMainFrame& frame, const char* format) {
  WindowList* w = frame.options().windows;
  if (w == nullptr) return;
  std::string folder = w->folder(format);
  if (!folder.empty() && folder.back() == '/') folder.pop_back();
  ShellServices_get().openWithDefault(folder);
}

}  // namespace

void LinkCommands_register(CommandTable& table, CMainFrame& frame) {
  CMainFrame* f = &frame;
  auto t = [&](const char* ja, const char* en) { return std::string(tr(frame, ja, en)); };
  const std::string linkMenu = t("リンク(&L)", "&Link");
  const std::string fileMenu = t("ファイル(&F)", "&File");
  table.add(Cmd_OpenLink, t("開く", "Open"), linkMenu, {}, [f] {
    if (CadPrim* h = held(*f)) CMainFrame_followFigureLink(*f, *h, false);
  });
  table.add(Cmd_OpenLinkNewWindow, t("新しいウインドウで開く", "Open in New Window"), linkMenu, {}, [f] {
    if (CadPrim* h = held(*f)) CMainFrame_followFigureLink(*f, *h, true);
  });
  table.add(Cmd_LinkBack, t("戻る", "Back"), linkMenu, {QKeySequence(QKeySequence::Back)},
            [f] { CMainFrame_historyStep(*f, -1); });
  table.add(Cmd_LinkForward, t("進む", "Forward"), linkMenu, {QKeySequence(QKeySequence::Forward)},
            [f] { CMainFrame_historyStep(*f, +1); });
  LinkCommands_refresh(frame);
  table.add(Cmd_FindLinkTarget, t("リンク先を探す", "Find Link Target"), linkMenu, {},
            [f] { findLinkTarget(*f); });
  table.add(Cmd_OpenNoteFolder, t("フォルダーを開く", "Open Folder"), linkMenu, {}, [f] {
    if (f->notePath().empty()) return;
    const std::string folder = StrX_parentFolder(f->notePath());
    if (FileX_isFolder(folder)) {
      ShellServices_get().showSelected(f->notePath());
    } else {
      notFoundBox(*f, folder);
    }
  });
  table.add(Cmd_OpenFilesFolder, t("ファイル格納用フォルダーを開く", "Open Files Folder"), linkMenu, {},
            [f] { openFilesFolder(*f); });
  table.add(Cmd_CopyLinkAddress, t("リンク先アドレスのコピー", "Copy Link Address"), linkMenu, {}, [f] {
    std::string link = heldLink(*f);
    if (link.empty()) return;
    link = expand(*f, link);
    link.resize(Cp932_cutLength(link, 1023));
    setClipboard(link);
  });
  table.add(Cmd_CopyHereAddress, t("ここのアドレスのコピー", "Copy Address of Here"), linkMenu, {}, [f] {
    CadPrim* h = held(*f);
    if (h == nullptr) return;
    if (h->GetId().empty()) {
      box(*f, "id が設定されていないためコピーしませんでした。", "エラー");
      return;
    }
    setClipboard(f->notePath() + "#" + h->GetId());
  });
  table.add(Cmd_PasteAddress, t("アドレスの貼り付け", "Paste Address"), linkMenu, {},
            [f] { pasteAddress(*f, false); });
  table.add(Cmd_PasteAddressWithText, t("アドレス#テキストの貼り付け", "Paste Address#Text"), linkMenu, {},
            [f] { pasteAddress(*f, true); });
  table.add(Cmd_PasteToLinkFragment, t("リンク先の #テキストに貼り付け", "Paste to #Text of Link"),
            linkMenu, {}, [f] { pasteToLinkFragment(*f); });
  table.add(Cmd_ReloadPathVariables, t("パス変数ファイルの再読込み", "Reload Path Variables"), linkMenu, {},
            [f] {
              WindowList* w = f->options().windows;
              if (w == nullptr) return;
              Except_tryCatch([&] { w->reloadPathVariables(); },
                              [&](const Errors_Msg& e) { box(*f, e.message(), "Brevlo 3.10"); });
            });
  table.add(Cmd_OpenBackupFolder, t("バックアップフォルダを開く", "Open Backup Folder"), fileMenu, {},
            [f] { openFolder(*f, "%backup%"); });
  table.add(Cmd_OpenProfileFolder, t("プロファイル・フォルダを開く", "Open Profile Folder"), fileMenu, {},
            [f] { openFolder(*f, "%prof%"); });
  table.add(Cmd_OpenProgramFolder, t("プログラム・フォルダを開く", "Open Program Folder"), fileMenu, {},
            [f] { openFolder(*f, "%prog%"); });
  table.add(Cmd_PinWindow, t("ピン留め・閉じない", "Pin (Do Not Close)"), t("ウィンドウ(&W)", "&Window"), {},
            [f] { f->links().pinned = !f->links().pinned; }, [f] { return f->links().pinned; });
}
