#include "app/convert/batch_note_host.h"

#include "view/render/page_image.h"

#include "app/convert/html_export_command.h"
#include "app/startup/folders.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/lock/named_lock.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "document/reader/note_reader.h"
#include "document/reader/reader_elements.h"
#include "figures/base/app_counters.h"
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
  return CZerbinApp_folderPath(app_, "%script%/svg-script.txt");
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

int CZerbinApp_withBatchNote(CZerbinApp& app, uint32_t frame, const std::string& source,
                             const TextMetrics* metrics,
                             const std::function<int(NoteDocument&)>& write,
                             bool skipShownReaderError) {
  const std::string work = CZerbinApp_folderPath(app, "%work%");
  NoteDocument doc(work);
  int result = 1;
  Except_tryCatch(
      [&] {
        AppCounters& counters = AppCounters_instance();
        NoteReadOptions read(counters);
        read.metrics = metrics;
        read.japanese = app.options.japanese;
        NoteReader_read(doc, NoteDocument_newDocumentNumber(counters, work), source, read);
        result = write(doc);
      },
      [&](const Errors_Msg& e) {
        if (!(skipShownReaderError && ReaderError_shownToUser(e))) {
          ReportToUser(frame, app.options.echoPath, "%s", e.message());
        }
        result = 1;
      });
  Except_tryCatch([&] { doc.ClearDocument(); }, [](const Errors_Msg&) {});
  return result;
}

std::string CZerbinApp_folderPath(const CZerbinApp& app, const char* name) {
  std::string path;
  CZerbinApp_expandPath(app.folders, path, CZerbinApp_notePathSize, name);
  return path;
}
