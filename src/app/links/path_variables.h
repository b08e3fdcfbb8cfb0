// The user's path variables: every file of the folder "%path_var%" names
// one folder ("[PathVariable]", "Comment", "Path"); its name is the file
// name without extension.  Links may say "%name%/rest", which expands to
// that folder, and paths are written back in that form.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t PathVariables_nameMax = 79;
inline constexpr size_t PathVariables_pathMax = 259;

struct UserPathVariable {
  std::string name;     // without the percent signs
  std::string comment;
  std::string path;     // the folder the variable stands for
};

class UserPathVariables {
 public:
  // Empties the list, then reads every file of `folder` in the order of the
  // folder walk, each new variable going to the head of the list (the file
  // read last comes first).  A missing folder gives an empty list.  A file
  // whose first line is no section line (a read-me) is skipped; a settings
  // file without "[PathVariable]" or "Path" raises what the reader raises;
  // a name or path too long raises 3183 naming the file (never cut to
  // another folder).
  void load(std::string_view folder);
  void clear() { list_.clear(); }
  const std::vector<UserPathVariable>& list() const { return list_; }
  void add(UserPathVariable v) { list_.insert(list_.begin(), std::move(v)); }

  // The path of the variable `name` (ASCII case ignored).
  bool lookup(std::string_view name, std::string& value) const;
  // "%name%" replaced by the user's variable, else the environment's; an
  // unknown name stays as written.  At most `size`-1 bytes.
  std::string expand(std::string_view text, size_t size = 4096) const;
  // The first "%name%" of `text` that neither the user's variables nor the
  // environment know ("" when there is none).
  std::string undefinedName(std::string_view text) const;
  // `path` with the folder of the first variable (in list order) that
  // begins it replaced by "%name%"; nothing is replaced when `second` is
  // given and begins with the same folder.
  std::string toVariableForm(std::string_view path, std::string_view second = {}) const;

 private:
  std::vector<UserPathVariable> list_;
};
