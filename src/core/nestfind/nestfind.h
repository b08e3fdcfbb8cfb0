// Folder walkers: every entry below a folder, depth first, each folder's
// names in sorted order (ASCII case folded, ties by bytes), so that walks
// are the same on every file system.  Symbolic links are never entered.
//
// NestFind has fixed limits (3000 names held at once, 50 levels) and raises
// NestFind_Err_OverBuf / NestFind_Err_OverNest beyond them; NestFindGrow has
// no limits.  Paths are CP932; a name the code page cannot hold is skipped.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class NestFind {
 public:
  NestFind();
  ~NestFind();
  NestFind(const NestFind&) = delete;
  NestFind& operator=(const NestFind&) = delete;

  // Lists the root.  With `withFolders`, each folder is also produced after
  // everything inside it (the order a tree can be deleted in); a symbolic
  // link is then produced as a file (whatever it points to), so that a
  // deletion unlinks the link itself.  Without it only files are produced:
  // regular files and symbolic links to regular files (with the size of the
  // file they point to); links to folders, dangling links and special files
  // are skipped.  A root that cannot be listed gives an empty walk.
  void open(std::string_view root, bool withFolders);
  // Moves to the next entry; false at the end.
  bool next();
  // The full path of the current entry, and the path relative to the root
  // (a folder without a final separator).  Either raises StrX_Err_BufOver
  // when the path it returns would not fit a 260-byte path buffer.
  std::string path() const;
  std::string relativePath() const;
  bool isFolder() const;
  // Whether the current entry is a symbolic link (never entered).
  bool isLink() const;
  int64_t size() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

class NestFindGrow {
 public:
  NestFindGrow();
  ~NestFindGrow();
  NestFindGrow(const NestFindGrow&) = delete;
  NestFindGrow& operator=(const NestFindGrow&) = delete;

  void open(std::string_view root, bool withFolders = false);
  bool next();
  std::string path() const;
  std::string relativePath() const;
  bool isFolder() const;
  bool isLink() const;
  int64_t size() const;
  void close();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
