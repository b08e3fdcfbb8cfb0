#include "export/site/site_build.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_delete.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_open.h"
#include "core/filex/text_file.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_punycode.h"
#include "core/xml/xml_event_reader.h"
#include "core/strx/strx_search.h"
#include "core/strx/strx_escape.h"
#include "export/html/html_export.h"

namespace {

constexpr size_t kPathSize = 4096;

[[noreturn]] void fail(const std::string& text);

// A value of a batch line, in double quotes (or bare, for "echo"); a value
// that cmd cannot take is refused.
std::string bat(std::string_view value, StrX_Batch form = StrX_Batch::Quoted) {
  std::optional<std::string> w = StrX_batchWord(value, form);
  if (!w) {
    fail(StrX_format("パスか値に \" や改行があるため、バッチファイルに書けません：%.*s",
                     static_cast<int>(value.size()), value.data()));
  }
  return *w;
}

std::string withExtension(std::string path, std::string_view ext) {
  if (!StrX_changeExtension(path, ext, kPathSize)) {
    Errors_RAISE(StrX_Err_BufOver, "%s", path.c_str());
  }
  return path;
}

// `path` made absolute against `base`; a value that stays relative (one
// that looks like "scheme:...") would be taken from the process's current
// folder, so it is refused as "<element attribute>" (`label`).
std::string absolute(std::string_view path, std::string_view base, const char* label) {
  std::string dst;
  StrX_makeAbsolute(dst, path, base, kPathSize);
  if (!StrX_isAbsolutePath(dst)) fail(std::string(label) + " が絶対パスになっていません");
  return dst;
}

std::string stem(std::string_view path) {
  std::string name = StrX_fileName(path);
  StrX_changeExtension(name, "", kPathSize);
  return name;
}

// A text-mode output file: lines end with CR LF on disk.
class OutFile {
 public:
  void open(const std::string& path) {
    FileX_makeFolders(path, true);
    file_ = FileX_open(path, "wb");
  }
  bool isOpen() const { return file_ != nullptr; }
  void put(std::string_view text) {
    if (file_) FileX_writeN(file_.get(), TextFile_toDisk(text));
  }
  void close() { file_.reset(); }

 private:
  FilePtr file_;
};

[[noreturn]] void fail(const std::string& text) {
  Errors_RAISE(CZerbinApp_Err_MakeRel, "%s", text.c_str());
}

struct Server {
  bool open = false;
  std::string local, svgLocal, url, title, index, menu, files, first;
  std::optional<std::string> pub;
  bool ascii = false;
  OutFile filesList;
};

struct Job {
  enum Kind { CopyFile, CopyFolder, Convert } kind = CopyFile;
  std::string source, destination;
  SiteConversion conversion;
};

class SiteBuilder {
 public:
  // A planning builder (`dry`) reads the whole definition and checks every
  // path the build would write without writing anything.
  SiteBuilder(std::string_view definition, std::string_view currentFolder, SiteBuildHost& host,
              bool dry)
      : def_(definition), defFolder_(StrX_parentFolder(definition)),
        name_(stem(definition)), current_(currentFolder), host_(host), dry_(dry) {}

  std::vector<Job> run();
  // After a planning run: no path written is the definition, a source of
  // a file or a file of "%rel_copy%" or "%script%", and no source lies in a
  // folder a conversion fills.
  void checkSources() const;

 private:
  std::string sibling(std::string_view ext) const { return withExtension(def_, ext); }
  std::string script(std::string_view name) const {
    return StrX_joinPath(host_.scriptFolder(), name);
  }
  // A template of "%script%" with CR LF read as LF; none when missing.
  std::optional<std::string> readTemplate(std::string_view name) const {
    const std::string path = script(name);
    if (host_.scriptFolder().empty() || !FileX_isFile(path)) return std::nullopt;
    return TextFile_read(path);
  }
  std::string templateText(std::string_view name) const { return readTemplate(name).value_or(""); }
  static std::string replaceAll(std::string text, std::string_view key, std::string_view value) {
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size())) {
      text.replace(at, key.size(), value);
    }
    return text;
  }
  std::string rel(std::string_view path) const { return StrX_makeRelative(path, defFolder_); }
  // A path of the site as a web server takes it: below `local` (or
  // elsewhere, the file name) in its Punycode form when `ascii` is "1".
  std::string siteName(const std::string& path) const;
  std::string moveToSvg(const std::string& path) const {
    if (FileX_insideFolder(path, server_.local)) return server_.svgLocal + path.substr(server_.local.size());
    if (StrX_pathEq(path, server_.local)) return server_.svgLocal;
    return path;
  }
  bool hasSvg() const { return !server_.svgLocal.empty(); }
  // The open file lists (local, local svg, D\S.files.html, the server's).
  std::vector<OutFile*> lists() {
    std::vector<OutFile*> v;
    for (OutFile* f : {&filesLocal_, &filesLocalSvg_, &files_, &server_.filesList}) {
      if (f->isOpen()) v.push_back(f);
    }
    return v;
  }
  std::string framePage(const std::string& titleLine, const std::string& menu,
                        const std::string& tree, const std::string& first) const;

  void serverStart(const XmlEventReader& r);
  void serverEnd();
  void folderStart(const XmlEventReader& r);
  void fileStart(const XmlEventReader& r);
  void fileEnd();
  void separator();
  void writeSvgFrame();
  std::string expandChecked(std::string_view value, const char* element);

  // Where a written file may go: beside the definition, or inside the
  // open server's `local` / `svg_local`.
  enum class Area { Beside, Site };
  void allowWrite(const std::string& path, const std::string& label, Area area);
  void openOut(OutFile& f, const std::string& path, const std::string& label, Area area) {
    allowWrite(path, label, area);
    if (!dry_) f.open(path);
  }

  std::string def_, defFolder_, name_, current_;
  SiteBuildHost& host_;
  bool dry_;
  struct Write {
    std::string path, label;
  };
  std::vector<Write> writes_;
  std::vector<std::string> sources_;
  std::vector<std::pair<std::string, std::string>> filledFolders_;  // folder, label
  OutFile copy_, repurl_, conv_, conv2_, conv3_, files_;
  OutFile filesLocal_, filesLocalSvg_, hhp_, hhc_, hhk_;
  Server server_;
  bool anyServer_ = false;
  bool folderOpen_ = false;
  std::string folderSrc_, folderDest_;
  bool fileOpen_ = false;
  std::string fileSrc_, fileDest_, fileConv_;
  std::string text_[3];  // list text, link text, after-text
  int part_ = 0;
  // The frame page of the public copies (the first server with svg_local),
  // written at the end when the page it shows first is known.
  struct SvgFrame {
    bool pending = false;
    std::string title, menu, first;
  } svgFrame_;
  std::vector<Job> jobs_;
};

void SiteBuilder::allowWrite(const std::string& path, const std::string& label, Area area) {
  if (area == Area::Beside) {
    if (!StrX_pathEq(StrX_parentFolder(path), defFolder_)) {
      fail(StrX_format("%s の出力がサイト定義ファイルのフォルダの外になります：%s", label.c_str(), path.c_str()));
    }
  } else {
    const bool inLocal = server_.open && FileX_insideFolder(path, server_.local);
    const bool inSvg = server_.open && hasSvg() && FileX_insideFolder(path, server_.svgLocal);
    if (!inLocal && !inSvg) {
      fail(StrX_format("%s が <server local> の外を指しているので書き込みません：%s", label.c_str(),
                       path.c_str()));
    }
  }
  writes_.push_back({path, label});
}

void SiteBuilder::checkSources() const {
  const std::string relCopy = host_.relCopyFolder();
  const std::string script = host_.scriptFolder();
  for (const Write& w : writes_) {
    for (const std::string& src : sources_) {
      if (FileX_sameFile(w.path, src)) {
        fail(StrX_format("%s が読み込むファイルを上書きするので書き込みません：%s", w.label.c_str(),
                         w.path.c_str()));
      }
    }
    // The installation's folders are read: shared files and templates.
    for (const auto& [folder, name] : {std::pair{relCopy, "%rel_copy%"}, std::pair{script, "%script%"}}) {
      if (!folder.empty() && (FileX_insideFolder(w.path, folder) || FileX_sameFile(w.path, folder))) {
        fail(StrX_format("%s が %s の中を指しているので書き込みません：%s", w.label.c_str(), name,
                         w.path.c_str()));
      }
    }
  }
  for (const auto& [folder, label] : filledFolders_) {
    for (const std::string& src : sources_) {
      if (FileX_insideFolder(src, folder) || FileX_sameFile(src, folder)) {
        fail(StrX_format("%s の変換が読み込むファイルを上書きするので書き込みません：%s", label.c_str(),
                         src.c_str()));
      }
    }
  }
}

std::string SiteBuilder::siteName(const std::string& path) const {
  if (!server_.ascii) return path;
  std::string coded;
  if (FileX_insideFolder(path, server_.local)) {
    StrX_punycodeName(coded, path.substr(server_.local.size() + 1), kPathSize);
    return server_.local + "/" + coded;
  }
  StrX_punycodeName(coded, StrX_fileName(path), kPathSize);
  return StrX_joinPath(StrX_parentFolder(path), coded);
}

std::string SiteBuilder::framePage(const std::string& titleLine, const std::string& menu,
                                   const std::string& tree, const std::string& first) const {
  std::string s = "<HTML><HEAD>\n\n";
  s += titleLine;
  s += "</HEAD>\n\n";
  s += "<frameset cols=\"25%,*\">\n";
  s += "<noframes>\n";
  s += "フレームに対応したブラウザが必要です。\n";
  s += "</noframes>\n\n";
  s += "<frameset rows=\"25,*\">\n";
  s += StrX_format("  <frame src=\"%s\" name=\"menu\">\n", StrX_htmlHref(menu).c_str());
  s += StrX_format("  <frame src=\"%s\" name=\"tree\">\n", StrX_htmlHref(tree).c_str());
  s += "</frameset>\n\n";
  s += StrX_format("<frame src=\"%s\" name=\"main\">\n\n", StrX_htmlHref(first).c_str());
  s += "</frameset>\n";
  s += "</HTML>\n";
  return s;
}

std::string SiteBuilder::expandChecked(std::string_view value, const char* element) {
  std::string expanded = host_.expandPathVariables(value);
  if (expanded.find('%') != std::string::npos) {
    fail(StrX_format("パス変数が展開できませんでした：<%s src=\"%.*s\">", element,
                static_cast<int>(value.size()), value.data()));
  }
  return expanded;
}

void SiteBuilder::serverStart(const XmlEventReader& r) {
  if (server_.open) serverEnd();
  auto attr = [&](const char* n) -> std::string {
    auto v = r.Attribute(n);
    return v ? std::string(*v) : std::string();
  };
  auto local = r.Attribute("local");
  if (!local || local->empty()) fail("<server local> がありません");
  Server& s = server_;
  s.open = true;
  s.local = absolute(*local, current_, "<server local>");
  s.svgLocal = attr("svg_local").empty() ? "" : absolute(attr("svg_local"), current_, "<server svg_local>");
  s.url = attr("url");
  s.pub.reset();
  if (auto p = r.Attribute("pub")) s.pub = std::string(*p);
  s.ascii = attr("ascii") == "1";
  s.title = r.Attribute("title") ? attr("title") : "top";
  auto page = [&](const char* n, const char* def, const char* label) {
    std::string v = attr(n);
    return absolute(v.empty() ? def : v, s.local, label);
  };
  s.index = page("index", "index.html", "<server index>");
  s.menu = page("menu", "menu.html", "<server menu>");
  s.files = page("files", "files.html", "<server files>");
  // An explicit first page is a file of the site: Punycode as its files.
  s.first = attr("first").empty() ? s.files : siteName(absolute(attr("first"), s.local, "<server first>"));
  // The folders and pages that the batch lines name.
  for (const std::string* p : {&s.local, &s.svgLocal, &s.menu, &s.files}) bat(*p);
  const bool firstServer = !anyServer_;
  anyServer_ = true;

  // The local file lists.
  auto localHead = [&](OutFile& f, const std::string& path, const std::string& folder) {
    openOut(f, path, "<server>", Area::Beside);
    if (auto t = readTemplate("files_local_head.txt")) {
      std::string text = replaceAll(*t, "%dst_folder%", StrX_htmlHref(StrX_makeRelative(folder, defFolder_)));
      f.put(replaceAll(text, "%title%", StrX_htmlText(s.title)));
    } else {
      f.put("<HTML><BODY><NOBR>\n");
    }
  };
  if (!filesLocal_.isOpen()) localHead(filesLocal_, sibling("files_local.html"), s.local);
  if (hasSvg() && !filesLocalSvg_.isOpen()) {
    localHead(filesLocalSvg_, sibling("files_local_svg.html"), s.svgLocal);
  }

  // The help project, contents and index heads.
  const std::string firstRel = rel(s.first);
  // The help project is lines of "key=value": the title stays on its line.
  const std::string helpTitle = StrX_mimeHeaderValue(s.title);
  if (firstServer) {
    openOut(hhp_, sibling("help_hhp_head.txt"), "<server>", Area::Beside);
    if (auto t = readTemplate("help_head.txt")) {
      std::string text = replaceAll(*t, "%fname%", name_);
      text = replaceAll(text, "%first%", firstRel);
      hhp_.put(replaceAll(text, "%title%", helpTitle));
    } else {
      const char* n = name_.c_str();
      const char* f = firstRel.c_str();
      hhp_.put("[OPTIONS]\n");
      hhp_.put("Compatibility=1.1 or later\n");
      hhp_.put(StrX_format("Compiled file=%s.chm\n", n));
      hhp_.put(StrX_format("Contents file=%s.help_tree.hhc\n", n));
      hhp_.put("Default Window=typeA\n");
      hhp_.put(StrX_format("Default topic=%s\n", f));
      hhp_.put("Display compile progress=Yes\n");
      hhp_.put("Full-text search=Yes\n");
      hhp_.put(StrX_format("Index file=%s.help_index.hhk\n", n));
      hhp_.put("Language=0x411 日本語\n");
      hhp_.put("\n");
      hhp_.put("[WINDOWS]\n");
      hhp_.put(StrX_format("typeA=\"%s\",\"%s.help_tree.hhc\",\"%s.help_index.hhk\",\"%s\",\"%s\",,,,,"
                      "0x43520,250,0x284e,[51,86,1009,711],0xb0000,,,,,,0\n",
                      helpTitle.c_str(), n, n, f, f));
      hhp_.put("\n");
    }
    hhp_.put("\n");
    hhp_.put("[FILES]\n");
    const std::string helpHead =
        "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<HTML>\n<HEAD>\n"
        "<meta name=\"GENERATOR\" content=\"Zerbin\">\n<!-- Sitemap 1.0 -->\n</HEAD><BODY>\n";
    openOut(hhc_, sibling("help_tree.hhc"), "<server>", Area::Beside);
    hhc_.put(readTemplate("help_tree_head.txt").value_or(helpHead));
    hhc_.put("\n<UL>\n");
    openOut(hhk_, sibling("help_hhk_head.txt"), "<server>", Area::Beside);
    hhk_.put(readTemplate("help_index_head.txt").value_or(helpHead));
    hhk_.put("\n<UL>\n");
  }
  hhp_.put(StrX_makeRelative(withExtension(s.files, "files\\*"), current_) + "\n");

  if (!dry_) {
    for (const std::string* p : {&s.index, &s.menu, &s.files}) FileX_makeFolders(*p, true);
    FileX_makeFolders(s.local, false);
  }

  // The frame pages: the site's, and the local ones beside the definition.
  const std::string indexFolder = StrX_parentFolder(s.index);
  OutFile index;
  openOut(index, s.index, "<server index>", Area::Site);
  index.put(framePage(StrX_format("<TITLE>%s</TITLE>", StrX_htmlText(s.title).c_str()),
                      StrX_makeRelative(s.menu, indexFolder), StrX_makeRelative(s.files, indexFolder),
                      StrX_makeRelative(s.first, indexFolder)));
  index.close();
  // The local frame pages show the local lists of all servers: the first
  // server gives their title, menu and first page.
  const std::string localTitle =
      StrX_format("<TITLE>%s (Local Files)</TITLE>\n\n", StrX_htmlText(s.title).c_str());
  OutFile indexLocal;
  if (firstServer) {
    openOut(indexLocal, sibling("index_local.html"), "<server>", Area::Beside);
    indexLocal.put(framePage(localTitle, rel(s.menu), name_ + ".files_local.html", firstRel));
    indexLocal.close();
  }
  if (hasSvg() && !svgFrame_.pending) {
    svgFrame_.pending = true;
    svgFrame_.title = localTitle;
    svgFrame_.menu = moveToSvg(s.menu);
    svgFrame_.first = moveToSvg(s.first);
  }

  // The menu page: its link opens the site's file list.
  OutFile menu;
  openOut(menu, s.menu, "<server menu>", Area::Site);
  menu.put(readTemplate("menu_head.txt").value_or("<HTML><BODY>\n"));
  menu.put(StrX_format("<A href=\"%s\" target=\"_top\">%s</A>\n",
                       StrX_htmlHref(StrX_makeRelative(s.files, StrX_parentFolder(s.menu))).c_str(),
                       StrX_htmlText(s.title).c_str()));
  menu.put("</BODY></HTML>\n");
  menu.close();
  // The menu of the public copies (their "-menu=") opens their frame page.
  if (hasSvg() && !StrX_pathEq(moveToSvg(s.menu), s.menu)) {
    const std::string svgMenu = moveToSvg(s.menu);
    openOut(menu, svgMenu, "<server menu>", Area::Site);
    menu.put(readTemplate("menu_head.txt").value_or("<HTML><BODY>\n"));
    menu.put(StrX_format(
        "<A href=\"%s\" target=\"_top\">%s</A>\n",
        StrX_htmlHref(StrX_makeRelative(sibling("index_local_svg.html"), StrX_parentFolder(svgMenu))).c_str(),
        StrX_htmlText(s.title).c_str()));
    menu.put("</BODY></HTML>\n");
    menu.close();
  }

  openOut(s.filesList, s.files, "<server files>", Area::Site);
  s.filesList.put(templateText("files_head.txt"));

  // The files beside the file list.
  const std::string filesFolder = withExtension(s.files, "files");
  const std::string relCopy = host_.relCopyFolder();
  allowWrite(filesFolder, "<server files>", Area::Site);
  copy_.put(StrX_format("mkdir %s\n", bat(filesFolder).c_str()));
  copy_.put(StrX_format("copy %s %s\n", bat(relCopy + "\\*.*").c_str(), bat(filesFolder).c_str()));
  copy_.put("\n");
  if (!relCopy.empty() && FileX_isFolder(relCopy)) {
    Job j;
    j.kind = Job::CopyFolder;
    j.source = relCopy;
    j.destination = filesFolder;
    jobs_.push_back(j);
  }
}

void SiteBuilder::serverEnd() {
  if (server_.filesList.isOpen()) {
    server_.filesList.put(templateText("files_foot.txt"));
    server_.filesList.close();
  }
  server_.open = false;
  folderOpen_ = false;
}

void SiteBuilder::folderStart(const XmlEventReader& r) {
  if (!server_.open) fail("<server> の外に <folder> を置くことはできません。");
  if (folderOpen_) fail("<folder> の中に <folder> を入れることはできません。");
  folderOpen_ = true;
  folderSrc_ = defFolder_;
  if (auto src = r.Attribute("src"); src && !src->empty()) {
    const std::string expanded = expandChecked(*src, "folder");
    folderSrc_ = absolute(expanded, defFolder_, "<folder src>");
  }
  auto dest = r.Attribute("dest");
  folderDest_ = dest && !dest->empty() ? absolute(*dest, server_.local, "<folder dest>") : server_.local;
}

void SiteBuilder::fileStart(const XmlEventReader& r) {
  if (fileOpen_) fail("<file> の中に <file> を入れることはできません。");
  if (!server_.open) fail("<server> の外に <file> を置くことはできません。");
  auto src = r.Attribute("src");
  if (!src || src->empty()) fail("<file src> がありません");
  const std::string expanded = expandChecked(*src, "file");
  auto dest = r.Attribute("dest");
  if (!dest || dest->empty()) fail("<file dest> がありません");
  auto conv = r.Attribute("conv");
  if (conv && *conv != "vml" && *conv != "copy") {
    fail("<file conv> は、\"vml\" か \"copy\" か conv をなしにしてください。");
  }
  fileSrc_ = absolute(expanded, folderOpen_ ? folderSrc_ : defFolder_, "<file src>");
  fileDest_ = absolute(*dest, folderOpen_ ? folderDest_ : server_.local, "<file dest>");
  bat(fileSrc_);
  bat(fileDest_);
  sources_.push_back(fileSrc_);
  fileConv_ = conv ? std::string(*conv) : "copy";
  fileOpen_ = true;
  part_ = 0;
  for (std::string& t : text_) t.clear();
}

void SiteBuilder::fileEnd() {
  fileOpen_ = false;
  const Server& s = server_;
  const std::string& T = text_[0];
  const std::string& A = text_[1];
  const std::string& R = text_[2];
  const bool converted = fileConv_ == "vml";
  const std::string dest = siteName(fileDest_);
  const std::string destHtml = withExtension(dest, "html");
  const std::string P = rel(dest);
  const std::string filesFolder = StrX_parentFolder(s.files);
  auto serverHref = [&](const std::string& path) {
    if (s.url.empty()) return StrX_makeRelative(path, filesFolder);
    const std::string r = StrX_makeRelative(path, s.local);
    return s.url + (s.url.back() == '/' ? "" : "/") + r;
  };

  if (!converted) {
    auto copyLines = [&](const std::string& to) {
      allowWrite(to, "<file dest>", Area::Site);
      const std::string folder = bat(StrX_parentFolder(to));
      copy_.put(StrX_format("if not exist %s  mkdir %s\n", folder.c_str(), folder.c_str()));
      copy_.put(StrX_format("copy %s %s\n", bat(fileSrc_).c_str(), bat(to).c_str()));
      copy_.put(StrX_format("if errorlevel  1 echo Not found or error %s & pause\n",
                            bat(fileSrc_, StrX_Batch::Bare).c_str()));
      copy_.put("\n");
      Job j;
      j.kind = Job::CopyFile;
      j.source = fileSrc_;
      j.destination = to;
      jobs_.push_back(j);
    };
    copyLines(dest);
    if (hasSvg()) copyLines(moveToSvg(dest));
    repurl_.put(StrX_format("src=%s\n", fileSrc_.c_str()));
    repurl_.put(StrX_format("dst=%s\n", StrX_makeRelative(dest, s.local).c_str()));
  } else {
    bat(name_);  // "-hhc2=" and "-repurl=" name the definition's siblings
    // What the conversion writes: the page, its folder and the side lists.
    allowWrite(destHtml, "<file dest>", Area::Site);
    const std::string destFolder = StrX_parentFolder(destHtml);
    filledFolders_.emplace_back(withExtension(destHtml, "files"), "<file dest>");
    for (const char* side : HtmlExport_sideFileNames) {
      allowWrite(StrX_joinPath(destFolder, side), "<file dest>", Area::Site);
    }
    const char* cv = s.ascii ? "-cv" : "-cV";
    // The publication name stands bare when cmd sees nothing special in it.
    const std::string pub =
        !s.pub ? ""
               : " -pub=" + (StrX_isPlainBatchValue(*s.pub) ? *s.pub : bat(*s.pub));
    const std::string repurlWork = name_ + ".repurl.work.txt";
    const std::string paths = StrX_format(" %s  %s  %s", bat(fileSrc_).c_str(),
                                     bat(rel(destHtml)).c_str(), bat(rel(s.local)).c_str());
    std::string line = "%brevlo% ";
    line += cv;
    line += " %opt% -top2blank -links -ids";
    line += StrX_format(" -hhc2=%s", bat(name_ + ".help.hhp").c_str());
    line += pub;
    line += StrX_format(" -menu=%s", bat(rel(s.menu)).c_str());
    line += StrX_format(" -files=%s", bat(rel(s.files)).c_str());
    line += StrX_format(" -repurl=%s", bat(repurlWork).c_str()) + paths + "\n";
    conv_.put(line);
    if (hasSvg()) {
      const std::string svgDest = withExtension(moveToSvg(dest), "xml");
      allowWrite(svgDest, "<file dest>", Area::Site);
      line = "%brevlo% ";
      line += s.ascii ? "-cs" : "-cS";
      line += " %opt2% -no_blank";
      line += pub;
      line += StrX_format(" -menu=%s", bat(rel(moveToSvg(s.menu))).c_str());
      line += StrX_format(" -repurl2=%s %s  %s  %s\n", bat(repurlWork).c_str(),
                     bat(fileSrc_).c_str(), bat(rel(svgDest)).c_str(),
                     bat(rel(s.svgLocal)).c_str());
      conv2_.put(line);
      Job j;
      j.kind = Job::Convert;
      SiteConversion& c = j.conversion;
      c.kind = SiteConversion::Public;
      c.ascii = s.ascii;
      c.source = fileSrc_;
      c.destination = svgDest;
      c.pub = s.pub;
      c.menuPath = moveToSvg(s.menu);
      c.repurlPath = sibling("repurl.txt");
      jobs_.push_back(j);
    }
    line = "%brevlo% ";
    line += cv;
    line += " %opt% -top2blank -ids2";
    line += pub;
    line += StrX_format(" -repurl=%s", bat(repurlWork).c_str()) + paths + "\n";
    conv3_.put(line);
    Job j;
    j.kind = Job::Convert;
    SiteConversion& c = j.conversion;
    c.kind = SiteConversion::Vml;
    c.ascii = s.ascii;
    c.source = fileSrc_;
    c.destination = destHtml;
    c.pub = s.pub;
    c.menuPath = s.menu;
    c.filesPath = s.files;
    c.repurlPath = sibling("repurl.txt");
    c.hhcPath = sibling("help.hhp");
    // The page of the public copy goes first: the VML pages link to it.
    jobs_.insert(jobs_.end() - (hasSvg() ? 1 : 0), j);
  }

  // The help project and its index.
  hhp_.put(P + "\n");
  const std::string name = stem(dest);
  const std::string listName = T.empty() && A.empty() ? name : T + A + R;
  hhk_.put("\t<LI> <OBJECT type=\"text/sitemap\">\n");
  hhk_.put(StrX_format("\t\t<param name=\"Name\" value=\"%s\">\n", StrX_htmlAttr(listName).c_str()));
  hhk_.put(StrX_format("\t\t<param name=\"Name\" value=\"%s\">\n", StrX_htmlAttr(name).c_str()));
  hhk_.put(StrX_format("\t\t<param name=\"Local\" value=\"%s\">\n", StrX_htmlAttr(P).c_str()));
  hhk_.put("\t\t</OBJECT>\n");
  if (T.empty() && A.empty()) return;

  hhc_.put("\t<LI> <OBJECT type=\"text/sitemap\">\n");
  hhc_.put(StrX_format("\t\t<param name=\"Name\" value=\"%s\">\n", StrX_htmlAttr(listName).c_str()));
  hhc_.put(StrX_format("\t\t<param name=\"Local\" value=\"%s\">\n", StrX_htmlAttr(P).c_str()));
  hhc_.put("\t\t</OBJECT>\n");
  for (OutFile* f : lists()) {
    f->put("・");
    if (!T.empty() && !A.empty()) f->put(StrX_htmlText(T) + " ");
  }
  const char* target = converted ? "_top" : "main";
  if (filesLocalSvg_.isOpen()) {
    const std::string svg = converted ? withExtension(moveToSvg(dest), "xml") : moveToSvg(dest);
    filesLocalSvg_.put(StrX_format("<A href=\"%s\" target=\"main\">", StrX_htmlHref(rel(svg)).c_str()));
  }
  filesLocal_.put(StrX_format("<A href=\"%s\" target=\"%s\">",
                              StrX_htmlHref(rel(converted ? destHtml : dest)).c_str(), target));
  const std::string href = serverHref(converted ? destHtml : dest);
  for (OutFile* f : {&files_, &server_.filesList}) {
    f->put(StrX_format("<A href=\"%s\" target=\"%s\">", StrX_htmlHref(href).c_str(), target));
  }
  const std::string close = A.empty() ? StrX_htmlText(T) + "</A><BR/>\n"
                                      : StrX_htmlText(A) + "</A> " + StrX_htmlText(R) + "<BR/>\n";
  for (OutFile* f : lists()) f->put(close);
}

// The first page of the public copies' frame: the public copy of the
// site's first page, or its copy, or else their file list.
void SiteBuilder::writeSvgFrame() {
  if (!svgFrame_.pending) return;
  const std::string firstXml = withExtension(svgFrame_.first, "xml");
  std::string main = name_ + ".files_local_svg.html";
  for (const Job& j : jobs_) {
    if (j.kind == Job::Convert && j.conversion.kind == SiteConversion::Public &&
        StrX_pathEq(j.conversion.destination, firstXml)) {
      main = rel(firstXml);
      break;
    }
    if (j.kind == Job::CopyFile && StrX_pathEq(j.destination, svgFrame_.first)) {
      main = rel(svgFrame_.first);
      break;
    }
  }
  OutFile page;
  openOut(page, sibling("index_local_svg.html"), "<server svg_local>", Area::Beside);
  page.put(framePage(svgFrame_.title, rel(svgFrame_.menu), name_ + ".files_local_svg.html", main));
}

void SiteBuilder::separator() {
  for (OutFile* f : lists()) f->put("<BR>\n");
}

std::vector<Job> SiteBuilder::run() {
  XmlEventReader r;
  r.Open(def_);
  sources_.push_back(def_);
  openOut(copy_, sibling("copy.bat"), "<server>", Area::Beside);
  copy_.put("REM copy\n");
  openOut(repurl_, sibling("repurl.txt"), "<server>", Area::Beside);
  repurl_.put("[repurl]\n");
  openOut(conv_, sibling("conv.bat"), "<server>", Area::Beside);
  openOut(conv2_, sibling("conv2.bat"), "<server>", Area::Beside);
  openOut(conv3_, sibling("conv3.bat"), "<server>", Area::Beside);
  openOut(files_, sibling("files.html"), "<server>", Area::Beside);
  files_.put(templateText("files_head.txt"));

  while (r.Next()) {
    const XmlEventKind kind = r.Kind();
    const std::string name = StrX_lowerAsciiCopy(std::string(r.Name()));
    if (kind == XmlEvent_text) {
      if (!fileOpen_) continue;
      const std::string t = r.Text();
      text_[part_] += t;
      continue;
    }
    const bool start = kind == XmlEvent_start || kind == XmlEvent_empty;
    const bool empty = kind == XmlEvent_empty;
    if (start && name == "server") {
      serverStart(r);
      if (empty) serverEnd();
    } else if (kind == XmlEvent_end && name == "/server") {
      if (fileOpen_) fileEnd();
      serverEnd();
    } else if (start && name == "folder") {
      folderStart(r);
      if (empty) folderOpen_ = false;
    } else if (kind == XmlEvent_end && name == "/folder") {
      folderOpen_ = false;
    } else if (start && name == "file") {
      fileStart(r);
      if (empty) fileEnd();
    } else if (kind == XmlEvent_end && name == "/file") {
      if (fileOpen_) fileEnd();
    } else if (start && name == "a") {
      if (fileOpen_ && !empty) part_ = 1;
    } else if (kind == XmlEvent_end && name == "/a") {
      if (fileOpen_) part_ = 2;
    } else if (start && name == "separator") {
      separator();
    }
  }
  if (fileOpen_) fileEnd();
  if (server_.open) serverEnd();
  if (!anyServer_) fail("<server> がありません");

  files_.put(templateText("files_foot.txt"));
  filesLocal_.put("</NOBR></BODY></HTML>\n");
  filesLocalSvg_.put("</NOBR></BODY></HTML>\n");
  hhc_.put("</UL>\n</BODY></HTML>");
  writeSvgFrame();
  return jobs_;
}

}  // namespace

bool BuildSite(std::string_view definitionPath, std::string_view currentFolder,
               SiteBuildHost& host) {
  {
    // Everything is checked before anything is written.
    SiteBuilder plan(definitionPath, currentFolder, host, true);
    plan.run();
    plan.checkSources();
  }
  std::vector<Job> jobs;
  {
    SiteBuilder builder(definitionPath, currentFolder, host, false);
    jobs = builder.run();
  }  // every file is closed before the site is filled
  // The conversions add to the side lists beside their pages: a build
  // starts them empty, so that building again gives the same lists.
  for (const Job& j : jobs) {
    if (j.kind != Job::Convert || j.conversion.kind != SiteConversion::Vml) continue;
    const std::string folder = StrX_parentFolder(j.conversion.destination);
    for (const char* side : HtmlExport_sideFileNames) FileX_deleteFile(StrX_joinPath(folder, side));
  }
  bool ok = true;
  for (const Job& j : jobs) {
    if (j.kind == Job::Convert) {
      FileX_makeFolders(j.conversion.destination, true);
      if (host.convert(j.conversion) != 0) ok = false;
      continue;
    }
    Except_tryCatch(
        [&] {
          if (j.kind == Job::CopyFile) FileX_copyByContent(j.destination, j.source);
          else FileX_copyFolder(j.destination, j.source);
        },
        [&](const Errors_Msg& e) {
          host.reportFailure(e.message());
          ok = false;
        });
  }
  return ok;
}
