// The state handed to every figure's `WriteOfficeScript` while a conversion
// script (Word, Excel or PowerPoint automation in VBScript) is written.
//
// Figures append their statements to `out` (the note writer's context, see
// svg_write_context.h) with every line end written as the statements show
// it, normally "\r\n".  Texts are code page 932.
//
// The script around the figures declares the variables the statements use:
// `m` (the conversion object), `s`, `canvas` (Word), `left_m`, `top_m`,
// `lin`, `rec`, `tex`, `ss`, `img`, `mat`, `frame`, `i`, `n`, `link`.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "figures/base/svg_write_context.h"

// Target applications of a conversion script.
enum class OfficeTarget : int32_t { Word = 0, Excel = 1, PowerPoint = 2 };

// Flag bits of a conversion: bit 0 draws every PowerPoint shape at twice its
// size (Excel scripts always hand the figures 1); bit 1 is Excel 2007.
inline constexpr int32_t kOfficeFlagEnlarge = 1;
inline constexpr int32_t kOfficeFlagExcel2007 = 2;

struct OfficeScriptWriter : SvgWriteContext {
  // Full path of the script being written (CP932).
  std::string scriptPath;
  // The attachment folder: the script's name with its extension replaced by
  // "files", followed by "/".  Pictures are copied behind it into numbered
  // subfolders.
  std::string attachFolderPath;
  // The target and flags of the conversion (the same values the figures get
  // as arguments).
  OfficeTarget target = OfficeTarget::Word;
  int32_t flags = 0;
  // The page number whose name (`zerbin-name`/title lookup of the note) is
  // `name`, or -1: links of PowerPoint text boxes point at "Page%d" slides.
  std::function<int32_t(std::string_view name)> findPageByName;
};
