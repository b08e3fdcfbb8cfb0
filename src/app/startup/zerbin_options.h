// The record that the command-line parser fills: one field per option of
// the program, with the defaults of a plain start.
#pragma once

#include <cstdint>
#include <string>

// Letter codes of the conversion and site options ("-cd" ... "-rel").
enum CZerbinApp_ConvMode : int32_t {
  CZerbinApp_Conv_None = 0,
  CZerbinApp_Conv_Diff = 100,       // -cd
  CZerbinApp_Conv_Jpeg = 106,       // -cj
  CZerbinApp_Conv_Png = 112,        // -cp
  CZerbinApp_Conv_Word = 119,       // -cw
  CZerbinApp_Conv_Excel = 120,      // -cx
  CZerbinApp_Conv_Ppt = 116,        // -ct
  CZerbinApp_Conv_PptLarge = 84,    // -cT
  CZerbinApp_Conv_Vml = 118,        // -cv
  CZerbinApp_Conv_VmlPlain = 86,    // -cV
  CZerbinApp_Conv_Mhtml = 109,      // -cm
  CZerbinApp_Conv_Public = 115,     // -cs
  CZerbinApp_Conv_PublicPlain = 83, // -cS: -cs without Punycode names
  CZerbinApp_Conv_Rel = 82,         // -rel
};

// Byte limits of the text fields (terminator included, as the buffers of
// the options record are counted).
inline constexpr size_t CZerbinApp_keywordSize = 80;
inline constexpr size_t CZerbinApp_pathSize = 512;
inline constexpr size_t CZerbinApp_serviceNameSize = 64;
inline constexpr size_t CZerbinApp_pubNameSize = 80;
inline constexpr size_t CZerbinApp_notePathSize = 4096;

struct CZerbinApp_Options {
  int32_t convMode = CZerbinApp_Conv_None;
  bool japanese = true;  // the caller sets the locale's choice before parsing

  // Run flags.  "-n" sets runT, runQuiet and runS; runS is on by default
  // unless "-t" or "-n" was given.
  bool runR = false, runS = false, runT = false, runN = false, runQuiet = false;
  bool runU = false, runD = false, pCmd = false;

  bool goSearch = false;      // -g, -gi, -gk=
  bool useClipboard = false;  // -gi, -gk=
  std::string keyword;        // -gk=

  bool load = false, unload = false, unloadIf = false;

  bool html = false, head = false, ids = false, ids2 = false, links = false, vert = false;
  bool noSubFolder = false, noBlank = false, noLocal = false, top2Blank = false, parts = false;

  int32_t viewMode = 0;  // -view 1, -view- -1

  // -page=: a number, "first-last", or a page name.
  bool hasPage = false;
  int32_t pageFirst = 0, pageLast = 0;
  std::string pageName;

  int32_t maxWidth = 640, maxHeight = 480;  // -max_size=WxH
  bool maxSizeGiven = false;                // page images are cut into tiles
  int32_t maxFold = 1;                      // -max_fold=
  int32_t minZoom = 100;                    // -min_zoom=
  bool minZoomGiven = false;
  bool waitClose = false;

  std::string hhc2Path, menuPath, filesPath, echoPath;  // absolute
  bool hasPub = false;
  std::string pubName;  // "-pub=*" gives ""
  std::string repUrl;
  int32_t repUrlKind = 0;  // 1: -repurl=, 2: -repurl2=
  std::string serviceName = "BrevloGUIService";

  // "-prof=" made absolute against the program folder, ending with "/".
  bool hasProfile = false;
  std::string profileFolder;

  std::string currentFolder;
  std::string srcPath, dstPath;

  // A conversion or list option: the program runs as a batch converter.
  bool batch() const { return convMode != CZerbinApp_Conv_None || links || ids; }
};
