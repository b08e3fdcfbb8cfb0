#include "document/writer/link_rewrite.h"

#include <optional>
#include <vector>

#include "core/filex/filex_info.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_punycode.h"
#include "core/strx/strx_search.h"
#include "core/strx/strx_vars.h"
#include "document/writer/keyword_link_file.h"

namespace {

constexpr size_t npos = std::string_view::npos;
constexpr size_t kSize = RewriteLink_hrefSize;

bool isSep(char c) { return c == '/' || c == '\\'; }

enum class Command { Replace, Cut, JustCut, TooltipAbs };

Command commandOf(std::string_view target) {
  if (StrX_equalsNoCase(target, "script:cut")) return Command::Cut;
  if (StrX_equalsNoCase(target, "script:just_cut")) return Command::JustCut;
  if (StrX_equalsNoCase(target, "script:tooltip_abs")) return Command::TooltipAbs;
  return Command::Replace;
}

// H with the prefix `from` (already matched) replaced by `to`.
void replacePrefix(std::string& h, const SvgLinkPair& entry) {
  std::string out = entry.to;
  out.append(h, entry.from.size());
  StrX_cpy(h, out, kSize);
}

// Where the tail behind `folder` + separator begins in h, or npos.
size_t tailStart(std::string_view h, std::string_view folder) {
  if (folder.empty()) return npos;
  std::string prefix(folder);
  StrX_cutLastChar(prefix, '/');
  StrX_cutLastChar(prefix, '\\');
  if (h.size() <= prefix.size() || !StrX_startsWithNoCase(h, prefix) || !isSep(h[prefix.size()])) {
    return npos;
  }
  return prefix.size() + 1;
}

// The tail rule of a link that is not a URL.
void applyTail(std::string& h, std::string_view link, const SvgWriteContext& ctx) {
  if (StrX_isUrl(link)) return;
  size_t start = tailStart(h, ctx.destinationFolder);
  if (start == npos) start = tailStart(h, ctx.sourceFolder);
  if (start == npos) return;
  std::string tail = h.substr(start);
  if (!ctx.mhtmlMode && StrX_isNoteFile(tail)) StrX_setHtmlExtension(tail, kSize);
  if (ctx.punycodeNames) {
    std::string coded;
    StrX_punycodeName(coded, tail, kSize);
    tail = std::move(coded);
  }
  if (ctx.lowerPath) StrX_lowerAscii(tail);
  std::string out = h.substr(0, start);
  out += tail;
  StrX_cpy(h, out, kSize);
}

// The cached entries of a keyword file, read again when its time changed;
// null when the file is missing or cannot be read.
const std::vector<SvgLinkPair>* keywordEntries(SvgWriteContext& ctx, const std::string& path) {
  std::vector<SvgKeywordFile>& cache = ctx.keywordFiles;
  size_t index = cache.size();
  for (size_t i = 0; i < cache.size(); ++i) {
    if (StrX_pathEq(cache[i].path, path)) {
      index = i;
      break;
    }
  }
  auto forget = [&] {
    if (index < cache.size()) cache.erase(cache.begin() + static_cast<std::ptrdiff_t>(index));
  };
  if (!FileX_isFile(path)) {
    forget();
    return nullptr;
  }
  const int64_t time = FileX_fileTime(path);
  if (index < cache.size() && cache[index].modifiedNs == time) return &cache[index].entries;
  std::optional<std::vector<SvgLinkPair>> entries = KeywordLinkFile_read(path);
  if (!entries) {
    forget();
    return nullptr;
  }
  if (index == cache.size()) {
    cache.push_back(SvgKeywordFile{path, time, {}});
  }
  cache[index].modifiedNs = time;
  cache[index].entries = std::move(*entries);
  return &cache[index].entries;
}

// Step 3; false when the keyword file or the word is not found.
bool resolveKeyword(std::string& h, std::string_view figureText, SvgWriteContext& ctx) {
  const size_t mark = h.find("?kw=");  // '?' is never a trail byte
  if (mark == npos) return true;
  std::string file;
  StrX_absoluteFromCurrentFolder(file, std::string_view(h).substr(0, mark));
  std::string word = h.substr(mark + 4);
  if (word == ".") word = figureText;
  StrX_lowerAscii(word);
  const std::vector<SvgLinkPair>* entries = keywordEntries(ctx, file);
  if (!entries) return false;
  for (const SvgLinkPair& e : *entries) {
    if (e.from != word) continue;
    if (StrX_isUrl(e.to)) {
      StrX_cpy(h, e.to, kSize);
    } else {
      StrX_absoluteFromFileFolder(h, e.to, file, kSize);
    }
    return true;
  }
  return false;
}

}  // namespace

int RewriteLink(std::string& href, std::string_view link, std::string_view figureText,
                SvgWriteContext& ctx) {
  int result = RewriteLink_write;
  std::string h;
  StrX_cpy(h, link, kSize);

  // 1. The first matching entry of the table decides.
  if (ctx.linkTable) {
    for (const SvgLinkPair& e : *ctx.linkTable) {
      if (e.from.empty() || !StrX_startsWithNoCase(h, e.from)) continue;
      const Command c = commandOf(e.to);
      if (c == Command::JustCut && !StrX_equalsNoCase(h, e.from)) continue;
      if (c == Command::Cut || c == Command::JustCut) {
        href = std::move(h);
        return RewriteLink_drop;
      }
      if (c == Command::TooltipAbs) {
        result = RewriteLink_tooltip;
      } else {
        replacePrefix(h, e);
      }
      break;
    }
  }

  // 2. Path variables.
  StrX_expandVariables(h, kSize, ctx.variables);

  // 3. Keyword links.
  {
    std::string before = h;
    if (!resolveKeyword(h, figureText, ctx)) {
      href = std::move(before);
      return RewriteLink_drop;
    }
  }

  // 4. Tail rule, the second pass of the table, and the relative form.
  if (result == RewriteLink_write) {
    applyTail(h, link, ctx);
    if (ctx.linkTable) {
      for (const SvgLinkPair& e : *ctx.linkTable) {
        if (e.from.empty() || !StrX_startsWithNoCase(h, e.from)) continue;
        const Command c = commandOf(e.to);
        if (c == Command::Cut || (c == Command::JustCut && StrX_equalsNoCase(h, e.from))) {
          href = std::move(h);
          return RewriteLink_drop;
        }
        if (c == Command::JustCut) continue;
        if (c == Command::TooltipAbs) {
          href = std::move(h);
          return RewriteLink_tooltip;
        }
        replacePrefix(h, e);
        applyTail(h, link, ctx);
      }
    }
    const std::string& base = ctx.baseName;
    if (h.starts_with(base) && (h.size() == base.size() || h[base.size()] == '#')) {
      h.erase(0, base.size());
    } else {
      h = StrX_makeRelativeToFile(h, ctx.notePath);
    }
  }

  // 5. No local links.
  if (result == RewriteLink_write && (ctx.noLocalLinks || ctx.mhtmlMode) && !StrX_isUrl(h) &&
      !h.starts_with('#') && (StrX_findChar(h, '/') != npos || StrX_findChar(h, '\\') != npos)) {
    result = RewriteLink_drop;
  }
  href = std::move(h);
  return result;
}
