// The web site of a site definition file ("-rel"): the definition names a
// server folder and, per file, its source and destination and whether it is
// converted to VML-HTML or copied.  BuildSite writes, beside the
// definition, the batch files that convert and copy for a Windows user, the
// link-replacement file, the local file lists and frame pages and the HTML
// Help pieces; into the server's folder the site's frame, menu and file-list
// pages.  Then it copies the copied files and runs the conversions through
// the host, so that the site under `local` can be browsed at once.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// One conversion of the site, as its batch line runs it.
struct SiteConversion {
  enum Kind { Vml, Public };  // "-cv"/"-cV" into `local`; "-cs" into `svg_local`
  Kind kind = Vml;
  bool ascii = false;  // "-cv"/"-cs": Punycode names
  std::string source, destination;  // absolute
  std::optional<std::string> pub;   // "-pub="
  std::string menuPath, filesPath;  // absolute ("" none)
  std::string repurlPath;           // the link-replacement file (absolute)
  std::string hhcPath;              // "-hhc2=" (absolute)
};

// What the site build takes from the application.
class SiteBuildHost {
 public:
  virtual ~SiteBuildHost() = default;
  // `text` with the user's path variables (and the environment) expanded;
  // an unknown "%name%" stays as written.
  virtual std::string expandPathVariables(std::string_view text) const = 0;
  // The installation's template folder ("%script%") and the folder whose
  // files go beside the file list ("%rel_copy%").
  virtual std::string scriptFolder() const = 0;
  virtual std::string relCopyFolder() const = 0;
  // Runs one conversion; 0, or 1 after reporting its failure.
  virtual int convert(const SiteConversion& conversion) = 0;
  // Reports a failure of a copy (the build goes on and fails at its end).
  virtual void reportFailure(std::string_view text) = 0;
};

// Builds the site of `definitionPath` (absolute); relative `local` and
// `svg_local` folders are taken against `currentFolder`.  An error of the
// definition raises CZerbinApp_Err_MakeRel (4011) after closing every file
// written so far (nothing is copied or converted then); other errors (the
// file cannot be read or written) raise their own codes.  Answers true when
// every copy and conversion succeeded, false after the host reported one.
bool BuildSite(std::string_view definitionPath, std::string_view currentFolder,
               SiteBuildHost& host);
