#include "app/convert/html_export_command.h"

#include "app/convert/batch_note_host.h"
#include "app/startup/conversion_status.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_punycode.h"
#include "document/note/note_document.h"
#include "document/writer/publication_filter.h"
#include "export/html/html_export.h"

namespace {

// The export's host: the batch save host for text and folders, plus the
// installation's templates.
class BatchHtmlHost final : public HtmlExportHost {
 public:
  BatchHtmlHost(CZerbinApp& app, uint32_t frame, const std::string& source)
      : app_(app), frame_(frame), base_(app, frame, source) {}
  const TextMetrics* metrics() const override { return base_.metrics(); }
  StrX_VarLookup variables() const override { return base_.variables(); }
  bool lowerPath() const override { return base_.lowerPath(); }
  bool japanese() const override { return base_.japanese(); }
  std::string notePath() const override { return base_.notePath(); }
  std::string scriptFolder() const override { return CZerbinApp_folderPath(app_, "%script%"); }
  std::string relCopyFolder() const override { return CZerbinApp_folderPath(app_, "%rel_copy%"); }
  void showExportError(std::string_view text, std::string_view) override {
    ReportToUserText(frame_, app_.options.echoPath, text);
  }
  void showConversionStatus(std::string_view name) override { ConversionStatus_set(name); }

 private:
  CZerbinApp& app_;
  uint32_t frame_;
  CZerbinApp_BatchNoteHost base_;
};

}  // namespace

std::string CZerbinApp_webName(CZerbinApp& app, uint32_t frame, const std::string& destination) {
  const CZerbinApp_Options& o = app.options;
  std::string coded;
  Except_tryCatch([&] { StrX_punycodeName(coded, StrX_fileName(destination), CZerbinApp_pathSize); },
                  [&](const Errors_Msg&) { coded.clear(); });
  if (coded.empty()) {
    ReportToUser(frame, o.echoPath,
                 o.japanese ? "%s: この名前は ASCII の名前 (Punycode) にできません。"
                            : "%s: this name cannot be turned into an ASCII (Punycode) name.",
                 destination.c_str());
    return {};
  }
  return StrX_joinPath(StrX_parentFolder(destination), coded);
}

int CZerbinApp_htmlExport(CZerbinApp& app, uint32_t frame, const std::string& source,
                          const std::string& destination) {
  const CZerbinApp_Options& o = app.options;
  HtmlExportOptions options;
  options.mode = o.convMode == CZerbinApp_Conv_Mhtml ? 'm'
                 : o.convMode == CZerbinApp_Conv_Vml ? 'v'
                                                     : 'V';
  if (o.hasPub) options.publicationName = o.pubName;
  options.keepBlankTarget = o.noBlank;
  options.preferNewWindow = o.top2Blank;
  options.noLocalLinks = o.noLocal;
  options.headingTree = o.head;
  options.linksList = o.links;
  options.idsList = o.ids;
  options.replacementList = o.ids2;
  options.repurlPath = o.repUrl;
  options.repurlKind = o.repUrlKind == 2 ? 2 : 1;
  options.menuPath = o.menuPath;
  options.filesPath = o.filesPath;
  options.helpContentsPath = o.hhc2Path;
  options.sourceFolder = StrX_parentFolder(source);
  options.destinationFolder = StrX_parentFolder(destination);

  std::string output = destination;
  if (options.mode == 'v') {
    output = CZerbinApp_webName(app, frame, destination);
    if (output.empty()) return 1;
  }
  BatchHtmlHost host(app, frame, source);
  return CZerbinApp_withBatchNote(app, frame, source, host.metrics(), [&](NoteDocument& doc) {
    // False: the placeholder of an unpublished note (done), or an
    // error of the link-replacement file (reported: the command failed).
    const bool ran = ExportHtml(doc, output, options, host);
    const bool published = PublicationFilter_filePublished(
        doc.documentSettings().pubFile,
        options.publicationName ? std::optional<std::string_view>(*options.publicationName)
                                : std::nullopt);
    return ran || !published ? 0 : 1;
  });
}

void CZerbinApp_exportHtmlOf(CZerbinApp& app, uint32_t frame, NoteDocument& doc,
                             const std::string& notePath, const std::string& output, char mode) {
  HtmlExportOptions options;
  options.mode = mode;
  options.sourceFolder = StrX_parentFolder(notePath);
  options.destinationFolder = StrX_parentFolder(output);
  BatchHtmlHost host(app, frame, notePath);
  ExportHtml(doc, output, options, host);
}
