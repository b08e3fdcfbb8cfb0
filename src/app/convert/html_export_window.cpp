#include "app/convert/html_export_window.h"

#include <QGuiApplication>

#include <cstdio>
#include <string>

#include "app/convert/save_ex_dialog.h"
#include "app/links/shell_services.h"
#include "app/mainframe/main_frame.h"
#include "app/saving/frame_save_host.h"
#include "app/saving/save_commands.h"
#include "app/startup/conversion_status.h"
#include "platform/windows/window_ids.h"
#include "core/errors/except3.h"
#include "core/filex/filex_info.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_punycode.h"
#include "core/strx/strx_vars.h"
#include "core/strx/strx_search.h"
#include "export/html/html_export.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"

namespace {

// The window's save host with the installation's template folders.
class FrameHtmlHost final : public HtmlExportHost {
 public:
  explicit FrameHtmlHost(CMainFrame& frame) : base_(frame) {}
  const TextMetrics* metrics() const override { return base_.metrics(); }
  StrX_VarLookup variables() const override { return base_.variables(); }
  bool lowerPath() const override { return base_.lowerPath(); }
  bool japanese() const override { return base_.japanese(); }
  std::string notePath() const override { return base_.notePath(); }
  std::string scriptFolder() const override { return folder("%script%"); }
  std::string relCopyFolder() const override { return folder("%rel_copy%"); }
  void showExportError(std::string_view text, std::string_view caption) override {
    base_.showSaveFailure(text, caption);
  }
  void showConversionStatus(std::string_view name) override { ConversionStatus_set(name); }

 private:
  std::string folder(const char* name) const {
    std::string path = name;
    StrX_expandVariables(path, 1024, base_.variables());
    return path == name ? "" : path;
  }
  FrameSaveHost base_;
};

// The proposed destination: the note's path with the export's extension
// (for 'v' the file name in its ASCII form, lower-cased when paths are),
// without any "!" in the file name.
std::string proposedPath(const CMainFrame& frame, char mode, bool lowerPath) {
  const std::string ext = mode == 'm' ? "mht" : "html";
  std::string path = frame.notePath();
  if (path.empty()) path = StrX_joinPath(NoteSave_desktopFolder(frame), "HTML");
  StrX_changeExtension(path, ext, path.size() + ext.size() + 2);
  std::string name = StrX_fileName(path);
  if (mode == 'v') {
    std::string coded;
    Except_tryCatch([&] { StrX_punycodeName(coded, name, 512); }, [&](const Errors_Msg&) { coded.clear(); });
    if (!coded.empty()) name = coded;
    if (lowerPath) StrX_lowerAscii(name);
  }
  std::erase(name, '!');
  return StrX_joinPath(StrX_parentFolder(path), name);
}

}  // namespace

std::vector<std::pair<int32_t, int32_t>> HtmlExportWindow_pageRanges(const SaveExValues& values,
                                                                     int32_t currentPage) {
  std::vector<std::pair<int32_t, int32_t>> ranges;
  if (values.range == 1) ranges.emplace_back(currentPage, currentPage);
  if (values.range == 2) HtmlExport_parsePageList(values.pages, ranges);
  return ranges;
}

std::string HtmlExportWindow_run(CMainFrame& frame, char mode) {
  if (!frame.hasNote()) return "";
  UserPrompts& prompts = UserPrompts_get();
  const bool ja = frame.options().japanese;
  const uint32_t owner = WindowIds_idOf(&frame);
  SaveExValues values;
  values.fileName = proposedPath(frame, mode, frame.options().save.lowerPath);
  values.outputType = mode == 'm' ? 2 : mode == 'V' ? 1 : 0;
  std::string path;
  std::vector<std::pair<int32_t, int32_t>> ranges;
  for (;;) {
    if (!CSaveExDlg_ask(&frame, values, ja)) return "";
    path = CSaveExDlg_absoluteName(values.fileName, NoteSave_desktopFolder(frame));
    // Without a person to fill the dialog again, a "No" ends the command.
    const bool again = CSaveExDlg::exec || prompts.interactive();
    ranges = HtmlExportWindow_pageRanges(values, frame.document().currentPageNumber());
    if (values.range == 2 && ranges.empty()) {
      prompts.messageBox(ja ? "ページ指定が正しくありません。\r\n例: 1, 4, 6-8"
                            : "The page list is not valid.\r\nExample: 1, 4, 6-8",
                         ja ? "ファイル出力" : "Export", PromptButtons::Ok, PromptIcon::Warning,
                         PromptAnswer::Ok, owner);
      if (!again) return "";
      continue;
    }
    if (path.find_first_of("!#") != std::string::npos &&
        prompts.messageBox("! または # をファイル名に含めるとブラウザで表示できません。\r\n無視して続行しますか？",
                           ja ? "ファイル出力" : "Export", PromptButtons::YesNo, PromptIcon::Warning,
                           PromptAnswer::No, owner) != PromptAnswer::Yes) {
      if (!again) return "";
      continue;
    }
    if (FileX_exists(path)) {
      char text[1200];
      std::snprintf(text, sizeof text, "%s は既に存在します。\r\n上書きしますか？", path.c_str());
      if (prompts.messageBox(text, ja ? "ファイル出力" : "Export", PromptButtons::YesNo, PromptIcon::Question,
                             PromptAnswer::No, owner) != PromptAnswer::Yes) {
        if (!again) return "";
        continue;
      }
    }
    break;
  }

  HtmlExportOptions options;
  options.mode = mode;
  if (values.publication == "_all")
    options.publicationName = "";  // everything passes the filter
  else if (!values.publication.empty())
    options.publicationName = values.publication;
  options.keepBlankTarget = true;
  options.preferNewWindow = !values.sameFileNoNewWindow;
  options.noLocalLinks = values.noLinksToOtherFiles;
  options.pageRanges = std::move(ranges);
  options.sourceFolder = StrX_parentFolder(frame.notePath());
  options.destinationFolder = StrX_parentFolder(path);
  FrameHtmlHost host(frame);
  std::string written;
  {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    Except_tryCatch(
        [&] {
          ExportHtml(frame.document(), path, options, host);
          written = path;
        },
        [&](const Errors_Msg& e) {
          prompts.messageBox(e.message(), "", PromptButtons::Ok, PromptIcon::Warning, PromptAnswer::Ok,
                             owner);
        });
    QGuiApplication::restoreOverrideCursor();
  }
  if (!written.empty() && values.openInBrowser) ShellServices_get().openWithDefault(written);
  return written;
}

void HtmlExportWindow_register(CommandTable& table, CMainFrame& frame) {
  const bool ja = frame.options().japanese;
  const char* menu = ja ? "ファイル(&F)" : "&File";
  table.add(Cmd_ExportVmlHtml, ja ? "VML-HTML(FTP)形式で出力(&F)..." : "Export as VML-HTML (&FTP)...", menu,
            {}, [&frame] { HtmlExportWindow_run(frame, 'v'); });
  table.add(Cmd_ExportVmlHtmlIntranet,
            ja ? "VML-HTML(イントラネット)形式で出力(&E)..." : "Export as VML-HTML (Intran&et)...", menu, {},
            [&frame] { HtmlExportWindow_run(frame, 'V'); });
  table.add(Cmd_ExportVmlMhtml, ja ? "VML-MHTML形式で出力(&V)..." : "Export as &VML-MHTML...", menu, {},
            [&frame] { HtmlExportWindow_run(frame, 'm'); });
}
