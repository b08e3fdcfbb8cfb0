// Path algebra on code page 932 text: absolute and relative paths, "#"
// fragments, file URLs, extensions, and the comparisons of file identity.
//
// Separators are '\' and '/' everywhere (a trail byte 0x5C is never one); a
// path uses slashes when it contains '/'.  A '#' starts a fragment that the
// path operations keep apart.  File and folder names compare case-sensitively
// (StrX_pathEq); drive letters, extensions and URL schemes ignore ASCII case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr size_t StrX_pathSizeDefault = 512;

// --- comparisons of file identity -------------------------------------
// Equal paths: bytes equal, except that '\' and '/' match each other and a
// drive letter ignores case.
bool StrX_pathEq(std::string_view a, std::string_view b);
// `path` begins with `prefix` under the rule of StrX_pathEq (a plain prefix,
// not necessarily ending at a separator; never half of a character).
bool StrX_pathHasPrefix(std::string_view path, std::string_view prefix);
// Compares two paths up to their '#'.
bool StrX_pathEqWithoutFragment(std::string_view a, std::string_view b);

// --- classification ----------------------------------------------------
// The first separator is the first character or follows a ':'.
bool StrX_isAbsolutePath(std::string_view path);
// "X:" with an ASCII letter X at the start.
bool StrX_isDrivePath(std::string_view path);
// "scheme://" whose scheme holds no separator; not "\\..." and not "X:".
bool StrX_isUrl(std::string_view path);
// The extension before any '#' is "svg" (any case).  ".svgz" does not count.
bool StrX_isNoteFile(std::string_view path);

// --- pieces --------------------------------------------------------------
// The part after the last separator; a final separator is ignored.
std::string StrX_fileName(std::string_view path);
// The path without its file name and last separator; "C:\", "\\" and "/"
// keep their separator.  "" when the path has no separator.
std::string StrX_parentFolder(std::string_view path);
// The text after the last '.' of the file name ("" when none).
std::string StrX_extension(std::string_view path);
// The extension of the part before any '#'.
std::string StrX_extensionWithoutFragment(std::string_view path);
// The text after the first '#' ("" when there is none).
std::string StrX_fragment(std::string_view path);

// --- rewriting -----------------------------------------------------------
// Every '\' separator turned into '/' (trail bytes untouched): the form of a
// relative link read from a note written on Windows.
std::string StrX_toSlashPath(std::string_view path);
// "\\server\path" -> "file://server/path", "C:\path" -> "file:///C|/path",
// "/path" -> "file:///path"; backslashes become '/', spaces "%20".  A URL
// is returned as it is and a relative path gets no scheme.
std::string StrX_fileUrl(std::string_view path);
// Removes "x\..\" pairs and ".\" pieces from the part after any drive,
// server or root prefix (the fragment is left alone).  A final "\.."
// removes the last folder; ".." that cancel nothing stay.
std::string StrX_normalizePath(std::string_view path);
// Replaces or adds the extension; an empty `ext` removes it (with its dot).
// Returns false and leaves `path` as it was when the result would not fit.
bool StrX_changeExtension(std::string& path, std::string_view ext, size_t size);
// Changes the extension before any fragment to "html"; raises 102 when the
// result would not fit (the path is left as it was).
void StrX_setHtmlExtension(std::string& path, size_t size);
// " (n)" inserted before the extension: "a/b.svg" -> "a/b (2).svg".
std::string StrX_numberedName(std::string_view path, int n);
// folder + separator + name, or the name alone when it is a drive path (or
// the folder is empty).  The separator is '\' only for a folder written with
// backslashes.
std::string StrX_joinPath(std::string_view folder, std::string_view name);
// Bounded form: on overflow the cut text stays in dst and 3183 is raised.
void StrX_joinPath(std::string& dst, std::string_view folder, std::string_view name,
                   size_t size);

// --- absolute and relative -----------------------------------------------
// `path` made absolute against `baseFolder`: left as it is when it is
// already absolute (or begins with a drive or scheme "name:"); else base +
// separator + path, normalised, with a final separator + "." dropped.  With
// a base written with '/', the backslashes of the path become '/'.  The
// result holds at most size-1 bytes: on overflow the cut text stays in dst
// and StrX_Err_BufOver (3183) is raised.  dst may be the string `path` views.
void StrX_makeAbsolute(std::string& dst, std::string_view path, std::string_view baseFolder,
                       size_t size = StrX_pathSizeDefault);
// The current working folder in CP932.  When code page 932 cannot name it,
// WinX_Err_WrongPath is raised (its text shows the name with "?" marks);
// when it cannot be read, the errno error: never "/" or another folder.
std::string StrX_currentFolder();
// The same, "" instead of raising: for messages, and for callers that then
// refuse relative paths.
std::string StrX_currentFolderOrEmpty();
// The same against the current working folder, the folder of the running
// program, or the folder of `file`.
void StrX_absoluteFromCurrentFolder(std::string& dst, std::string_view path,
                                    size_t size = StrX_pathSizeDefault);
void StrX_absoluteFromProgramFolder(std::string& dst, std::string_view path,
                                    size_t size = StrX_pathSizeDefault);
void StrX_absoluteFromFileFolder(std::string& dst, std::string_view path, std::string_view file,
                                 size_t size = StrX_pathSizeDefault);
// `path` relative to `baseFolder`: "." when equal; a URL, a relative path or
// a path on another drive, server or root stays as it is; else one ".." for
// each base folder left over, then the rest of the path (fragment kept).
std::string StrX_makeRelative(std::string_view path, std::string_view baseFolder);
// Relative to the folder of `file`; a target inside that very file
// ("file#frag") becomes "#frag".
std::string StrX_makeRelativeToFile(std::string_view path, std::string_view file);
// A link that begins with '#' is the current file + the fragment; any other
// link is made absolute from the folder of `file`.  Overflow as
// StrX_makeAbsolute.
void StrX_resolveLink(std::string& dst, std::string_view link, std::string_view file,
                      size_t size = StrX_pathSizeDefault);

// --- the disk ------------------------------------------------------------
// Rebuilds `path` with the spelling of each existing component as stored on
// disk: a component that exists as written is kept; else a unique match that
// differs only in ASCII case is taken; else it and the rest keep their
// spelling.  Drive, server and URL paths are left alone.
void StrX_realCase(std::string& path);
