// Reads every HTML file an export wrote under a folder and follows its local
// addresses: each href/src that names no scheme must name a file that
// exists, and each "#anchor" must be an id or name of its target file.
#pragma once

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace html_links {

inline std::string unescape(std::string s) {
  static const std::pair<const char*, const char*> kRefs[] = {
      {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (auto [from, to] : kRefs) {
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1)) {
      s.replace(at, std::string(from).size(), to);
    }
  }
  return s;
}

inline std::set<std::string> anchorsOf(const std::string& html) {
  std::set<std::string> names;
  static const std::regex kAnchor(R"re(\s(?:id|name)\s*=\s*"([^"]*)")re", std::regex::icase);
  for (std::sregex_iterator it(html.begin(), html.end(), kAnchor), end; it != end; ++it) {
    names.insert(unescape((*it)[1].str()));
  }
  return names;
}

// The problems of one HTML file's addresses, one line each ("" when every
// address resolves); `count` receives how many addresses it follows.
inline std::string checkFile(const std::string& file, int* count = nullptr) {
  namespace fs = std::filesystem;
  std::string problems;
  static const std::regex kRef(R"re(\s(?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
  static const std::regex kScheme(R"re(^[A-Za-z][A-Za-z0-9+.-]+:)re");
  const std::string html = testing_support::ReadFileBytes(file);
  for (std::sregex_iterator it(html.begin(), html.end(), kRef), end; it != end; ++it) {
    std::string ref = unescape((*it)[1].str());
    if (ref.empty() || std::regex_search(ref, kScheme)) continue;
    if (count) ++*count;
    std::string fragment;
    if (const size_t hash = ref.find('#'); hash != std::string::npos) {
      fragment = ref.substr(hash + 1);
      ref.resize(hash);
    }
    if (const size_t query = ref.find('?'); query != std::string::npos) ref.resize(query);
    const std::string target =
        ref.empty() ? file : (fs::path(file).parent_path() / ref).lexically_normal().string();
    if (!fs::is_regular_file(target)) {
      problems += file + ": " + (*it)[1].str() + " names no file\n";
    } else if (!fragment.empty() && !anchorsOf(testing_support::ReadFileBytes(target)).count(fragment)) {
      problems += file + ": " + (*it)[1].str() + " names no anchor of " + target + "\n";
    }
  }
  return problems;
}

// The same for every HTML file under a folder.
inline std::string check(const std::string& folder) {
  std::string problems;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string ext = e.path().extension().string();
    if (e.is_regular_file() && (ext == ".html" || ext == ".htm")) problems += checkFile(e.path().string());
  }
  return problems;
}

}  // namespace html_links
