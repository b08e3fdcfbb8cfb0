#include "app/convert/site_build_command.h"

#include "app/convert/batch_note_host.h"
#include "app/startup/folders.h"
#include "app/startup/zerbin_app.h"
#include "app/windows/window_list.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/filex/filex_info.h"
#include "core/strx/strx_path.h"
#include "export/site/site_build.h"

namespace {

class AppSiteHost final : public SiteBuildHost {
 public:
  explicit AppSiteHost(CZerbinApp& app) : app_(app) {}

  std::string expandPathVariables(std::string_view text) const override {
    std::string s = WindowList_of(app_).pathVariables().expand(text, CZerbinApp_notePathSize);
    // The program's own folders ("%prof%", "%script%", ...) too.
    const CZerbinApp_Folders folders = app_.folders;
    StrX_expandVariables(s, CZerbinApp_notePathSize, [&folders](std::string_view n, std::string& v) {
      return CZerbinApp_folderVariable(folders, n, v);
    });
    return s;
  }
  std::string scriptFolder() const override { return CZerbinApp_folderPath(app_, "%script%"); }
  std::string relCopyFolder() const override { return CZerbinApp_folderPath(app_, "%rel_copy%"); }

  int convert(const SiteConversion& c) override {
    // A missing note is refused as the command line refuses it.
    if (!FileX_exists(c.source)) {
      reportFailure(c.source + (app_.options.japanese ? " を開こうとしましたが見つかりません。"
                                                      : " can not open. Zerbin exits."));
      return 1;
    }
    // The conversion reads the options record as its command line would
    // have set it; the record of this start comes back afterwards.
    const CZerbinApp_Options saved = app_.options;
    CZerbinApp_Options& o = app_.options;
    const bool vml = c.kind == SiteConversion::Vml;
    o.convMode = vml ? (c.ascii ? CZerbinApp_Conv_Vml : CZerbinApp_Conv_VmlPlain)
                     : (c.ascii ? CZerbinApp_Conv_Public : CZerbinApp_Conv_PublicPlain);
    o.top2Blank = vml;
    o.links = o.ids = vml;
    o.ids2 = false;
    o.noBlank = !vml;
    o.hasPub = c.pub.has_value();
    // "-pub=*" publishes everything, as on the command line.
    o.pubName = c.pub && *c.pub != "*" ? *c.pub : "";
    o.menuPath = c.menuPath;
    o.filesPath = c.filesPath;
    o.hhc2Path = c.hhcPath;
    o.repUrl = c.repurlPath;
    o.repUrlKind = vml ? 1 : 2;
    o.srcPath = c.source;
    o.dstPath = c.destination;
    int result = 1;
    Except_tryFinally(
        [&] {
          result = CZerbinApp_runCommand(app_, app_.mainFrame, o, c.source, c.destination,
                                         CZerbinApp_pathSize);
        },
        [&] { app_.options = saved; });
    return result;
  }
  void reportFailure(std::string_view text) override {
    ReportToUserText(app_.mainFrame, app_.options.echoPath, text);
  }

 private:
  CZerbinApp& app_;
};

}  // namespace

void CZerbinApp_buildSite(CZerbinApp& app, const std::string& definition) {
  AppSiteHost host(app);
  Except_tryCatch(
      [&] {
        if (!BuildSite(definition, app.options.currentFolder, host)) {
          app.exitCode = CZerbinApp_Exit_Failed;
        }
      },
      [&](const Errors_Msg& e) {
        // Errors of the definition (4011) and of its files alike.
        ReportToUser(app.mainFrame, app.options.echoPath, "%s", e.message());
        app.exitCode = CZerbinApp_Exit_Failed;
      });
}
