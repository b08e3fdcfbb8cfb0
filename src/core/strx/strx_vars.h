// Expansion of "%name%" variables in code page 932 text.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Asked first for every name.  It writes the value (at most 255 bytes are
// used) and answers whether it knows the name.
using StrX_VarCallback =
    std::function<bool(void* context, std::string_view name, std::string& value)>;
using StrX_VarLookup = std::function<bool(std::string_view name, std::string& value)>;

// Replaces every "%name%" of `text` in one pass: "%%" becomes "%", a name
// goes to the callback first and then to the process environment; a name
// that neither knows stays as written.  An inserted value is not scanned
// again.  The result holds at most size-1 bytes (never half of a double-byte
// character).  Returns 1 when the result was cut, else 0.
int StrX_expandVariables(std::string& text, size_t size,
                         const StrX_VarCallback& callback = nullptr,
                         void* context = nullptr);
int StrX_expandVariables(std::string& text, size_t size, const StrX_VarLookup& lookup);

// The value of an environment variable as CP932 text: the exact name first,
// then a name that differs only in ASCII case.  False when there is none.
bool StrX_getEnvironment(std::string_view name, std::string& value);
