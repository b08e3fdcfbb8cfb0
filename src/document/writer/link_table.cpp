#include "document/writer/link_table.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "core/errors/result_code.h"
#include "core/inifile/inifile.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "document/note/note_document.h"

namespace {

// `path` with the extension of its part before any '#' set to `ext`.
std::string withExtension(std::string_view path, std::string_view ext) {
  const size_t hash = StrX_findChar(path, '#');
  std::string head(path.substr(0, hash));
  std::string_view fragment = hash == StrX_npos ? std::string_view() : path.substr(hash);
  const std::string old = StrX_extension(head);
  if (!old.empty()) head.resize(head.size() - old.size());
  else head += '.';
  head.append(ext);
  head.append(fragment);
  return head;
}

}  // namespace

void LinkTable_sortByFallingLength(std::vector<SvgLinkPair>& table) {
  std::stable_sort(table.begin(), table.end(), [](const SvgLinkPair& a, const SvgLinkPair& b) {
    return a.from.size() > b.from.size();
  });
}

std::vector<SvgLinkPair> LinkTable_readRepurl(std::string_view settingsPath,
                                              std::string_view sourceFolder,
                                              std::string_view destinationFolder, int kind) {
  IniFileReader reader;
  reader.open(settingsPath);
  reader.findSection("repurl", false);

  std::string absoluteSettings;
  StrX_absoluteFromCurrentFolder(absoluteSettings, settingsPath);
  const std::string fileFolder = StrX_parentFolder(absoluteSettings);
  const std::string_view srcBase = sourceFolder.empty() ? std::string_view(fileFolder) : sourceFolder;
  const std::string_view dstBase =
      destinationFolder.empty() ? std::string_view(fileFolder) : destinationFolder;

  std::vector<SvgLinkPair> table;
  for (;;) {
    std::string key;
    std::string value;
    const int64_t at = reader.readNextAttribute(key, "s", &value);
    if (at < 0) break;
    // Read the pair again by name: a first line that is not "src" raises
    // IniFile_Err_BadAttr with the reader's own message.
    reader.seek(at);
    std::string src;
    std::string dst;
    reader.readAttribute("src", "s", &src);
    reader.readAttribute("dst", "s", &dst);
    SvgLinkPair pair;
    StrX_makeAbsolute(pair.from, src, srcBase);
    StrX_makeAbsolute(pair.to, dst, dstBase);
    if (kind == LinkTable_kindSvgCopy &&
        StrX_startsWithNoCase(StrX_extensionWithoutFragment(pair.to), "htm") &&
        StrX_equalsNoCase(StrX_extensionWithoutFragment(pair.from), "svg")) {
      pair.to = withExtension(pair.to, "xml");
    }
    table.push_back(std::move(pair));
  }
  LinkTable_sortByFallingLength(table);
  return table;
}

int LinkTable_buildFromNote(std::vector<SvgLinkPair>& table, std::string_view notePath,
                            std::string_view outputPath, const std::vector<LinkTablePage>& pages,
                            int32_t limit, int32_t firstOffset) {
  table.clear();
  const size_t maxText = LinkTable_textSize - 1;
  try {
    const std::string fileName = StrX_fileName(outputPath);
    const std::string ext = StrX_extension(outputPath);
    const std::string stem =
        ext.empty() ? fileName : fileName.substr(0, fileName.size() - ext.size() - 1);
    // O up to and including the dot of its extension.
    std::string head(outputPath);
    if (!ext.empty()) head.resize(head.size() - ext.size());
    else head += '.';

    std::vector<SvgLinkPair> entries;
    if (limit != 0) {
      int number = 1;
      int64_t offset = firstOffset;
      char numberText[16];
      for (const LinkTablePage& page : pages) {
        std::snprintf(numberText, sizeof numberText, "%02d", number);
        for (const std::string& id : page.figureIds) {
          if (id.empty()) continue;
          SvgLinkPair pair;
          pair.from.append(notePath).append("#").append(id);
          pair.to.append(head).append("files/").append(stem).append("_").append(numberText);
          pair.to.append(".").append(ext).append("#").append(id);
          if (pair.from.size() > maxText || pair.to.size() > maxText) {
            table.clear();
            return ResultCode_BufferTooSmall;
          }
          entries.push_back(std::move(pair));
        }
        const int64_t next = offset + page.height + 16;
        if (next > limit) {
          offset = 0;
          ++number;
        } else {
          offset = next;
        }
      }
    }
    if (notePath.size() > maxText || outputPath.size() > maxText) return ResultCode_BufferTooSmall;
    LinkTable_sortByFallingLength(entries);
    entries.push_back(SvgLinkPair{std::string(notePath), std::string(outputPath)});
    table = std::move(entries);
    return ResultCode_NoError;
  } catch (const std::bad_alloc&) {
    table.clear();
    return ResultCode_NoHeap;
  }
}

std::vector<LinkTablePage> LinkTable_pagesOf(const NoteDocument& doc) {
  std::vector<LinkTablePage> pages;
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    if (doc.pageNumberAt(i) == 0) continue;
    const NotePage& page = doc.pageAt(i);
    LinkTablePage entry;
    entry.height = page.settings().height();
    for (size_t f = 1; f < page.figures.size(); ++f)
      entry.figureIds.push_back(page.figures.at(f).GetId());
    pages.push_back(std::move(entry));
  }
  return pages;
}
