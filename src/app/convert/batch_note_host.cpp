#include "app/convert/batch_note_host.h"

#include "view/render/page_image.h"

#include "app/convert/html_export_command.h"
#include "app/startup/folders.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/result_code.h"
#include "core/lock/named_lock.h"
#include "core/strx/strx_path.h"
#include "platform/text/qt_text_metrics.h"

CZerbinApp_BatchNoteHost::CZerbinApp_BatchNoteHost(CZerbinApp& app, uint32_t frame,
                                                   std::string notePath)
    : app_(app),
      frame_(frame),
      notePath_(std::move(notePath)),
      metrics_(std::make_unique<QtTextMetrics>()) {}

CZerbinApp_BatchNoteHost::~CZerbinApp_BatchNoteHost() = default;

const TextMetrics* CZerbinApp_BatchNoteHost::metrics() const { return metrics_.get(); }

bool CZerbinApp_BatchNoteHost::lockFiles() {
  return !app_.fileSema || app_.fileSema->lock(NamedLock_infinite);
}

void CZerbinApp_BatchNoteHost::unlockFiles() {
  if (app_.fileSema) app_.fileSema->unlock();
}

std::string CZerbinApp_BatchNoteHost::scriptPath() const {
  std::string path;
  CZerbinApp_expandPath(app_.folders, path, CZerbinApp_notePathSize, "%script%/svg-script.txt");
  return path;
}

StrX_VarLookup CZerbinApp_BatchNoteHost::variables() const {
  const CZerbinApp_Folders folders = app_.folders;
  return [folders](std::string_view name, std::string& value) {
    return CZerbinApp_folderVariable(folders, name, value);
  };
}

bool CZerbinApp_BatchNoteHost::lowerPath() const { return app_.settings.lowerPath; }

bool CZerbinApp_BatchNoteHost::japanese() const { return app_.options.japanese; }

void CZerbinApp_BatchNoteHost::showSaveFailure(std::string_view text, std::string_view) {
  ReportToUser(frame_, app_.options.echoPath, "%.*s", static_cast<int>(text.size()), text.data());
}

void CZerbinApp_BatchNoteHost::showSaveStepFailure(std::string_view text) {
  ReportToUserText(frame_, app_.options.echoPath, text);
}

void CZerbinApp_BatchNoteHost::exportPageImage(int32_t page, std::string_view path) {
  if (doc_ != nullptr) View_exportPageImage(*doc_, page, path);
}

void CZerbinApp_BatchNoteHost::exportHtml(std::string_view path, char mode) {
  if (doc_ != nullptr) CZerbinApp_exportHtmlOf(app_, frame_, *doc_, notePath_, std::string(path), mode);
}
