// The small part of WQL the inventory sends: select all from a class, optionally where one
// property is LIKE a pattern or equals a text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane::sim {

// WQL LIKE: '%' any run of characters, '_' one character, case ignored.
bool WqlLike(std::wstring_view text, std::wstring_view pattern);

struct WqlQuery {
  enum class Test { All, Like, Equals };
  std::wstring className;
  Test test = Test::All;
  std::wstring property;
  std::wstring operand;
};

// "select * from C", "select * from C where (P LIKE "x")", "... where (P="x")";
// keywords in any case, parentheses optional, quotes double or single.
std::optional<WqlQuery> ParseWql(std::wstring_view text);

// The test applied to a property's text (an absent or null value never matches).
bool WqlMatches(const WqlQuery& query, const std::optional<std::wstring>& value);

}  // namespace quorvane::sim
