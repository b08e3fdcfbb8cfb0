// An application without start-up whose folders lie below a test folder:
// its windows go through its window list, its notes into "notes/".
#pragma once

#include "app/startup/zerbin_app.h"
#include "core/filex/filex.h"
#include "platform/images/qt_image_decoder.h"
#include "support/test_support.h"

inline void AppFolders_prepare(CZerbinApp& app, const testing_support::TempDir& dir) {
  app.folders.profileFolder = dir.file("prof/");
  app.folders.programFolder = dir.file("prog/");
  app.options.japanese = true;
  for (const char* f :
       {"prof/work", "prof/template", "prof/backup", "prof/path_var", "prof/security", "notes"})
    FileX_makeFolders(dir.file(f), false);
  QtImageDecoder_register();  // as start-up does
}
