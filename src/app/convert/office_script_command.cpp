#include "app/convert/office_script_command.h"

#include "app/convert/batch_note_host.h"
#include "app/startup/folders.h"
#include "app/startup/zerbin_app.h"
#include "document/note/note_document.h"

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
  std::string scriptFolder() const override { return CZerbinApp_folderPath(app_, "%script%"); }

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
  BatchOfficeHost host(app, frame, source);
  return CZerbinApp_withBatchNote(app, frame, source, host.metrics(), [&](NoteDocument& doc) {
    WriteConversionScript(doc, destination, target, flags, host);
    return 0;
  });
}
