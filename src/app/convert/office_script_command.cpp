#include "app/convert/office_script_command.h"

#include <memory>

#include "app/convert/batch_note_host.h"
#include "app/startup/folders.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "document/note/note_document.h"
#include "document/reader/note_reader.h"
#include "figures/base/app_counters.h"

namespace {

// The batch save host for text and folders, plus the installation's
// script folder.
class BatchOfficeHost final : public OfficeScriptHost {
 public:
  BatchOfficeHost(CZerbinApp& app, uint32_t frame, const std::string& source)
      : app_(app), base_(app, frame, source) {}
  const TextMetrics* metrics() const override { return base_.metrics(); }
  StrX_VarLookup variables() const override { return base_.variables(); }
  bool lowerPath() const override { return base_.lowerPath(); }
  bool japanese() const override { return base_.japanese(); }
  std::string notePath() const override { return base_.notePath(); }
  std::string scriptFolder() const override {
    std::string path;
    CZerbinApp_expandPath(app_.folders, path, CZerbinApp_notePathSize, "%script%");
    return path;
  }

 private:
  CZerbinApp& app_;
  CZerbinApp_BatchNoteHost base_;
};

}  // namespace

int CZerbinApp_officeScript(CZerbinApp& app, uint32_t frame, const std::string& source,
                            const std::string& destination) {
  const CZerbinApp_Options& o = app.options;
  OfficeTarget target = OfficeTarget::Word;
  int32_t flags = 0;
  switch (o.convMode) {
    case CZerbinApp_Conv_Excel:
      target = OfficeTarget::Excel;
      if (app.settings.vbaVer == 2007) flags = kOfficeFlagExcel2007;
      break;
    case CZerbinApp_Conv_Ppt: target = OfficeTarget::PowerPoint; break;
    case CZerbinApp_Conv_PptLarge:
      target = OfficeTarget::PowerPoint;
      flags = kOfficeFlagEnlarge;
      break;
    default: break;
  }
  std::string work;
  CZerbinApp_expandPath(app.folders, work, CZerbinApp_notePathSize, "%work%");
  NoteDocument doc(work);
  BatchOfficeHost host(app, frame, source);
  int result = 1;
  Except_tryCatch(
      [&] {
        AppCounters& counters = AppCounters_instance();
        NoteReadOptions read(counters);
        read.metrics = host.metrics();
        read.japanese = o.japanese;
        NoteReader_read(doc, NoteDocument_newDocumentNumber(counters, work), source, read);
        WriteConversionScript(doc, destination, target, flags, host);
        result = 0;
      },
      [&](const Errors_Msg& e) {
        ReportToUser(frame, o.echoPath, "%s", e.message());
        result = 1;
      });
  Except_tryCatch([&] { doc.ClearDocument(); }, [](const Errors_Msg&) {});
  return result;
}
