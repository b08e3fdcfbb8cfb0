#include "app/convert/public_copy.h"

#include "app/convert/batch_note_host.h"
#include "app/startup/folders.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "document/reader/note_reader.h"
#include "document/reader/reader_elements.h"
#include "document/writer/note_writer.h"
#include "figures/base/app_counters.h"

int CZerbinApp_publicCopy(CZerbinApp& app, uint32_t frame, const std::string& source,
                          const std::string& destination) {
  // The public copy leaves out what is not published: written over its own
  // source it would destroy the note (as a missing DEST of a ".svg" note
  // would make it).
  if (StrX_pathEq(StrX_normalizePath(source), StrX_normalizePath(destination))) {
    ReportToUser(frame, app.options.echoPath,
                 app.options.japanese ? "%s: 公開用のコピーで元のノートを上書きすることはできません。"
                                      : "%s: the public copy cannot replace its own note.",
                 source.c_str());
    return 1;
  }
  std::string work;
  CZerbinApp_expandPath(app.folders, work, CZerbinApp_notePathSize, "%work%");
  NoteDocument doc(work);
  CZerbinApp_BatchNoteHost host(app, frame, source);
  host.setDocument(&doc);
  int result = 1;
  Except_tryCatch(
      [&] {
        AppCounters& counters = AppCounters_instance();
        NoteReadOptions read(counters);
        read.metrics = host.metrics();
        read.japanese = app.options.japanese;
        NoteReader_read(doc, NoteDocument_newDocumentNumber(counters, work), source, read);

        NotePublishOptions publish;
        if (app.options.hasPub) publish.publicationName = app.options.pubName;
        publish.repurlPath = app.options.repUrl;
        publish.repurlKind = app.options.repUrlKind == 2 ? 2 : 1;
        publish.sourceFolder = StrX_parentFolder(source);
        publish.destinationFolder = StrX_parentFolder(destination);
        // A failed write has been reported by the host.
        result = NoteWriter_savePublished(doc, destination, publish, host);
      },
      [&](const Errors_Msg& e) {
        // The reader has shown its box of an unsupported note already.
        if (!ReaderError_shownToUser(e)) ReportToUser(frame, app.options.echoPath, "%s", e.message());
        result = 1;
      });
  Except_tryCatch([&] { doc.ClearDocument(); }, [](const Errors_Msg&) {});
  return result;
}
