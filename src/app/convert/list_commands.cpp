#include "app/convert/list_commands.h"

#include <functional>

#include "app/convert/batch_note_host.h"
#include "app/startup/zerbin_app.h"
#include "app/windows/window_list.h"
#include "core/errors/result_code.h"
#include "document/note/note_document.h"
#include "export/lists/compare_text.h"
#include "export/lists/list_export.h"

namespace {

// The lists' host: the batch save host for the note's path, the folder
// variables and the text metrics; messages go to the echo file.
class BatchListHost final : public ListExportHost {
 public:
  BatchListHost(CZerbinApp& app, uint32_t frame, const std::string& source)
      : app_(app), frame_(frame), base_(app, frame, source) {}
  const TextMetrics* metrics() const override { return base_.metrics(); }
  // Links name the user's path variables first, as following them does.
  StrX_VarLookup variables() const override {
    const StrX_VarLookup folders = base_.variables();
    UserPathVariables* user = &WindowList_of(app_).pathVariables();
    return [user, folders](std::string_view name, std::string& value) {
      return user->lookup(name, value) || (folders && folders(name, value));
    };
  }
  bool japanese() const override { return base_.japanese(); }
  std::string notePath() const override { return base_.notePath(); }
  void showListMessage(std::string_view text, std::string_view) override {
    ReportToUserText(frame_, app_.options.echoPath, text);
  }

 private:
  CZerbinApp& app_;
  uint32_t frame_;
  CZerbinApp_BatchNoteHost base_;
};

// Reads the note and runs `write` on it; errors are reported.
int withNote(CZerbinApp& app, uint32_t frame, const std::string& source,
             const std::function<void(NoteDocument&, ListExportHost&)>& write) {
  BatchListHost host(app, frame, source);
  return CZerbinApp_withBatchNote(
      app, frame, source, host.metrics(),
      [&](NoteDocument& doc) {
        write(doc, host);
        return 0;
      });
}

}  // namespace

int CZerbinApp_linkList(CZerbinApp& app, uint32_t frame, const std::string& source,
                        const std::string& destination) {
  return withNote(app, frame, source, [&](NoteDocument& doc, ListExportHost& host) {
    WriteLinkList(doc, destination, host);
  });
}

int CZerbinApp_idList(CZerbinApp& app, uint32_t frame, const std::string& source,
                      const std::string& destination) {
  return withNote(app, frame, source, [&](NoteDocument& doc, ListExportHost& host) {
    WriteIdList(doc, destination, host);
  });
}

int CZerbinApp_compareText(CZerbinApp& app, uint32_t frame, const std::string& source,
                           const std::string& destination) {
  return withNote(app, frame, source, [&](NoteDocument& doc, ListExportHost& host) {
    CompareText_write(doc, destination, host);
  });
}
