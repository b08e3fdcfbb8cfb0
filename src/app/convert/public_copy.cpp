#include "app/convert/public_copy.h"

#include "app/convert/batch_note_host.h"
#include "app/convert/html_export_command.h"
#include "app/startup/zerbin_app.h"
#include "core/filex/filex_info.h"
#include "core/errors/result_code.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "document/writer/note_writer.h"

int CZerbinApp_publicCopy(CZerbinApp& app, uint32_t frame, const std::string& source,
                          const std::string& given) {
  // "-cs" names its file as "-cv" does (Punycode); "-cS" keeps the name.
  std::string destination = given;
  if (app.options.convMode == CZerbinApp_Conv_Public) {
    destination = CZerbinApp_webName(app, frame, given);
    if (destination.empty()) return 1;
  }
  // The public copy leaves out what is not published: written over its own
  // source it would destroy the note (as a missing DEST of a ".svg" note
  // would make it).
  if (FileX_sameFile(source, destination)) {
    ReportToUser(frame, app.options.echoPath,
                 app.options.japanese ? "%s: 公開用のコピーで元のノートを上書きすることはできません。"
                                      : "%s: the public copy cannot replace its own note.",
                 source.c_str());
    return 1;
  }
  CZerbinApp_BatchNoteHost host(app, frame, source);
  return CZerbinApp_withBatchNote(app, frame, source, host.metrics(), [&](NoteDocument& doc) {
    host.setDocument(&doc);
    NotePublishOptions publish;
    if (app.options.hasPub) publish.publicationName = app.options.pubName;
    publish.repurlPath = app.options.repUrl;
    publish.repurlKind = app.options.repUrlKind == 2 ? 2 : 1;
    publish.sourceFolder = StrX_parentFolder(source);
    publish.destinationFolder = StrX_parentFolder(destination);
    // A failed write has been reported by the host.
    return NoteWriter_savePublished(doc, destination, publish, host);
  });
}
