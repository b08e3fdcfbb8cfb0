// The string functions of code page 932 text, in one include.
#pragma once

#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_search.h"
#include "core/strx/strx_fields.h"
#include "core/strx/strx_numbers.h"
#include "core/strx/strx_escape.h"
#include "core/strx/strx_base64.h"
#include "core/strx/strx_punycode.h"
#include "core/strx/strx_unicode.h"
#include "core/strx/strx_fastsearch.h"
#include "core/strx/strx_vars.h"
#include "core/strx/strx_path.h"
#include "core/strx/strv.h"
#include "core/strx/strx_strlist.h"
