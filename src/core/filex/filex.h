// The file and folder functions of the program, in one include.  Paths are
// CP932 text; they reach the OS (as UTF-8) only through filex_ospath.h.
#pragma once

#include "core/filex/text_file.h"
#include "core/filex/filex_ospath.h"
#include "core/filex/filex_flags.h"
#include "core/filex/filex_open.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_atomic.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_delete.h"
#include "core/filex/filex_names.h"
#include "core/filex/filex_backup.h"
#include "core/filex/filex_textcopy.h"
#include "core/filex/filex_convert.h"
#include "core/filex/filex_tag.h"
