// The command line of the program: argv joined into one line, and the
// parser that fills CZerbinApp_Options from that line.  No widgets here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/startup/zerbin_options.h"

// Result of the parser when an option was refused (its text is stored with
// ResultCode_setMessage).
inline constexpr int CZerbinApp_OptionRefused = 1;
// Result of the parser when a path cannot name a file (its text, the
// missing-file or cannot-write message of that option, is stored): the
// program ends with status 1.
inline constexpr int CZerbinApp_PathRefused = 2;

// Joins argument words (CP932) into one command line.  A word holding a
// space gets double quotes: an option "-name=value" around its value only
// ("-prof=\"/a b\""), any other word as a whole.  A word that comes already
// enclosed in double quotes (as Windows shells pass "\"/a b/x.svg\"" or
// -echo="/a b/e.txt") loses them first.  Each word gives one word of the
// line.  The same line feeds the parser and the call to a running process.
std::string CZerbinApp_joinArguments(const std::vector<std::string>& args);

// Fills `options` (the caller passes a fresh record, with `japanese` set to
// the locale's choice) from the line.  Options are read from the start while
// the next word begins with "-"; a word beginning with "/" is a path.  An
// option value ends at the next space unless it is in double quotes.
// After the options: with a conversion mode, "-links" or "-ids" the next two
// words are the source and the destination, else the rest of the line
// (without surrounding quotes) is the note to open.  A "#" fragment of the
// note path goes to `fragment` (without the "#"); the note path and the
// destination are made absolute against `currentFolder`.
//
// A path (the note, the source, the destination, "-prof=", "-echo=",
// "-menu=", "-files=", "-hhc2=", "-repurl=", "-repurl2=") cannot name a
// file when its word is marked in `unconvertible` (one flag per word of the
// line: the word held characters that code page 932 cannot hold, so it
// carries "?" marks), or when it is relative and `currentFolder` is empty
// (the current folder has no name in code page 932).
//
// Answers 0; CZerbinApp_OptionRefused when an option was refused (the first
// refusal's text is stored); CZerbinApp_PathRefused when a path cannot name
// a file (the first such path's message is stored);
// ResultCode_BufferTooSmall when a value or path does not fit its field
// (also with a stored text that names the value as given).  Parsing goes on
// after a refused option.
int CZerbinApp_parseCommandLine(std::string_view commandLine, std::string_view currentFolder,
                                CZerbinApp_Options& options, std::string& path,
                                std::string& fragment, std::string& destination,
                                const std::vector<bool>& unconvertible = {});

// "-v" not followed by a letter at the start of the line: the version request.
bool CZerbinApp_isVersionRequest(std::string_view commandLine);

// Whether the words ask for a run without a person: "-echo=", a conversion
// option ("-c..", "-rel"), "-links" or "-ids".  Used before the line is
// parsed, so that no box can block the early start-up steps.
bool CZerbinApp_isBatchArguments(const std::vector<std::string>& args);

// The destination of "-cv", "-cV" and "-cs" when `dst` names a folder (an
// existing folder, or a missing name without extension or with the
// extension "files"): the folder is created when missing and the source's
// file name is appended; "-cv"/"-cV" then get the extension "html".  Any
// other `dst` is left as it is.
void CZerbinApp_destinationFromFolder(std::string& dst, std::string_view src, int32_t convMode);
