// A check of a conversion script (.wsf) as the script host reads it: the
// job frame is XML whose script elements hold their VBScript as text (up to
// the first "</script>"), and the VBScript opens and closes its blocks in
// order (Sub, Function, Property, Class, With, For, Do and block If), with
// every string literal closed on its line and no routine inside another.
// Under Option Explicit every name a statement begins with (assigned, Set,
// With, For, ReDim, or the object of a call) must be declared: by Dim, as
// a parameter, a class member or a routine of the script.  Not a VBScript
// engine: statements themselves are not checked.
#pragma once

#include <QString>
#include <QXmlStreamReader>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text/qt_text.h"

namespace wsf_check {

// The words of a statement, lower-cased.
inline std::vector<std::string> words(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(QString::fromLatin1(s.c_str()).toLower().toStdString());
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The identifier at `at` (letters, digits, '_'), lower-cased; "" for none.
inline std::string identAt(const std::string& s, size_t at) {
  std::string out;
  while (at < s.size() && (std::isalnum(static_cast<unsigned char>(s[at])) || s[at] == '_'))
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(s[at++])));
  return out;
}

// The comma-separated names of "Dim a, b(3)" or "( a, ByVal b )".
inline std::vector<std::string> nameList(const std::string& list) {
  std::vector<std::string> out;
  std::istringstream in(list);
  for (std::string item; std::getline(in, item, ',');) {
    std::vector<std::string> w = words(item);
    if (!w.empty() && (w[0] == "byval" || w[0] == "byref")) w.erase(w.begin());
    if (!w.empty()) out.push_back(identAt(w[0], 0));
  }
  return out;
}

// The blocks of one script body; "" when they are balanced.
inline std::string checkVbs(const std::string& body) {
  // Logical lines: physical lines joined at a trailing " _".
  std::vector<std::pair<int, std::string>> logical;
  {
    std::string pending;
    int first = 0, no = 0;
    size_t start = 0;
    while (start <= body.size()) {
      size_t end = body.find('\n', start);
      if (end == std::string::npos) end = body.size();
      std::string l = body.substr(start, end - start);
      if (!l.empty() && l.back() == '\r') l.pop_back();
      if (l.find('\r') != std::string::npos) return "a lone CR in line " + std::to_string(no + 1);
      ++no;
      if (pending.empty()) first = no;
      size_t t = l.find_last_not_of(" \t");
      if (t != std::string::npos && l[t] == '_' && (t == 0 || l[t - 1] == ' ')) {
        pending += l.substr(0, t) + " ";
      } else {
        logical.push_back({first, pending + l});
        pending.clear();
      }
      start = end + 1;
    }
    if (!pending.empty()) return "a continued line at the end";
  }
  std::vector<std::pair<std::string, int>> stack;
  // Declarations by routine and class (0: none), and the uses, checked at
  // the end since a Dim may come after the use.
  std::map<int, std::set<std::string>> locals, members;
  std::set<std::string> globals = {"wscript", "err", "me", "xl"};  // XL: ExcelLib.vbs
  struct Use {
    std::string name;
    int routine, klass, line;
  };
  std::vector<Use> uses;
  int routine = 0, klass = 0, routines = 0, classes = 0;
  for (const auto& [no, text] : logical) {
    const std::string at = " (line " + std::to_string(no) + ")";
    // Statements split at ':' outside strings; comments cut.
    std::vector<std::string> statements(1);
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '"') inString = !inString;
      if (!inString && c == '\'') break;
      if (!inString && c == ':') {
        statements.emplace_back();
        continue;
      }
      statements.back() += c;
    }
    if (inString) return "an unclosed string" + at;
    for (const std::string& st : statements) {
      std::vector<std::string> w = words(st);
      if (w.empty()) continue;
      const size_t modifiers = w.size();
      while (!w.empty() && (w[0] == "public" || w[0] == "private" || w[0] == "default")) w.erase(w.begin());
      if (w.empty()) continue;
      {
        const std::string& k = w[0];
        const size_t start = st.find_first_not_of(" \t");
        const size_t paren = st.find('(');
        if (k == "sub" || k == "function" || k == "property") {
          routine = ++routines;
          const size_t nameAt = k == "property" ? 2 : 1;
          if (w.size() > nameAt) globals.insert(identAt(w[nameAt], 0));
          if (paren != std::string::npos)
            for (const std::string& n : nameList(st.substr(paren + 1, st.find(')', paren) - paren - 1)))
              locals[routine].insert(n);
        } else if (k == "class") {
          klass = ++classes;
          if (w.size() > 1) globals.insert(w[1]);
        } else if (k == "end" && w.size() >= 2) {
          if (w[1] == "sub" || w[1] == "function" || w[1] == "property") routine = 0;
          if (w[1] == "class") klass = 0;
        } else if (k == "dim" || (klass && !routine && modifiers > w.size())) {
          std::string list;
          for (size_t i = k == "dim" ? 1 : 0; i < w.size(); ++i) list += w[i] + " ";
          for (const std::string& n : nameList(list))
            (routine ? locals[routine] : klass ? members[klass] : globals).insert(n);
        } else {
          // The name a statement begins with (after Set, With, For ...).
          size_t pos = start;
          bool lead = false;
          for (std::string word : {"set", "with", "redim", "preserve", "for", "each"}) {
            if (pos == std::string::npos || identAt(st, pos) != word) continue;
            pos = st.find_first_not_of(" \t", pos + word.size());
            lead = true;
          }
          const std::string name = pos == std::string::npos ? "" : identAt(st, pos);
          const size_t next = name.empty() ? std::string::npos : st.find_first_not_of(" \t", pos + name.size());
          if (!name.empty() && (lead || (next != std::string::npos && (st[next] == '.' || st[next] == '='))))
            uses.push_back({name, routine, klass, no});
        }
      }
      auto open = [&](const std::string& kind) -> std::string {
        const bool routine = kind == "sub" || kind == "function" || kind == "property";
        for (const auto& [k, line] : stack) {
          if (routine && (k == "sub" || k == "function" || k == "property"))
            return "a routine inside a routine" + at;
          if (kind == "class" && k != "class") return "a class inside a block" + at;
        }
        stack.push_back({kind, no});
        return "";
      };
      auto close = [&](const std::string& kind) -> std::string {
        if (stack.empty() || stack.back().first != kind) {
          return "end of " + kind + " closes " + (stack.empty() ? std::string("nothing") : stack.back().first) + at;
        }
        stack.pop_back();
        return "";
      };
      std::string error;
      const std::string& k = w[0];
      if (k == "sub" || k == "function" || k == "class" || k == "with" || k == "for" || k == "do") {
        error = open(k);
      } else if (k == "property") {
        error = open("property");
      } else if (k == "if") {
        if (w.back() == "then") error = open("if");
        else if (std::find(w.begin(), w.end(), "then") == w.end()) error = "if without then" + at;
      } else if (k == "end" && w.size() >= 2) {
        error = close(w[1]);
      } else if (k == "next") {
        error = close("for");
      } else if (k == "loop") {
        error = close("do");
      }
      if (!error.empty()) return error;
    }
  }
  if (!stack.empty()) return stack.back().first + " never closed (line " + std::to_string(stack.back().second) + ")";
  for (const Use& u : uses)
    if (!locals[u.routine].count(u.name) && !members[u.klass].count(u.name) && !globals.count(u.name))
      return u.name + " not declared (line " + std::to_string(u.line) + ")";
  return "";
}

// The whole file (CP932); "" when it is well-formed.
inline std::string check(const std::string& wsf) {
  // The frame with every script body as character data.
  std::string frame;
  std::vector<std::string> bodies;
  size_t i = 0;
  while (true) {
    const size_t s = wsf.find("<script", i);
    if (s == std::string::npos) {
      frame += wsf.substr(i);
      break;
    }
    const size_t gt = wsf.find('>', s);
    if (gt == std::string::npos) return "an unclosed script tag";
    frame += wsf.substr(i, gt + 1 - i);
    i = gt + 1;
    if (wsf[gt - 1] == '/') continue;
    const size_t close = wsf.find("</script>", i);
    if (close == std::string::npos) return "a script element never closed";
    std::string body = wsf.substr(i, close - i);
    bodies.push_back(body);
    std::string cdata;
    for (size_t at = 0;;) {
      const size_t e = body.find("]]>", at);
      if (e == std::string::npos) {
        cdata += body.substr(at);
        break;
      }
      cdata += body.substr(at, e + 2 - at) + "]]><![CDATA[";
      at = e + 2;
    }
    frame += "<![CDATA[" + cdata + "]]>";
    i = close;
  }
  QXmlStreamReader xml(QtText_fromCp932(frame));
  while (!xml.atEnd()) xml.readNext();
  if (xml.hasError()) return "XML: " + xml.errorString().toStdString();
  if (frame.rfind("<job>", 0) != 0) return "no job";
  if (bodies.empty()) return "no script";
  for (const std::string& b : bodies) {
    const std::string e = checkVbs(b);
    if (!e.empty()) return e;
  }
  return "";
}

}  // namespace wsf_check
