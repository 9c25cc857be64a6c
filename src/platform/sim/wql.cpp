// WQL: the LIKE matcher and a parser for the three query shapes of the inventory.
#include "platform/sim/wql.h"

#include <cwctype>

#include "base/text.h"

namespace quorvane::sim {
namespace {

class Scanner {
 public:
  explicit Scanner(std::wstring_view text) : text_(text) {}
  void Blanks() {
    while (pos_ < text_.size() && std::iswspace(static_cast<wint_t>(text_[pos_]))) ++pos_;
  }
  bool Word(std::wstring_view word) {
    Blanks();
    if (text_.size() - pos_ < word.size()) return false;
    if (!EqualsIgnoreCaseAscii(text_.substr(pos_, word.size()), word)) return false;
    size_t end = pos_ + word.size();
    if (end < text_.size() && IsNameChar(text_[end]) && IsNameChar(word.back())) return false;
    pos_ = end;
    return true;
  }
  bool Char(wchar_t c) {
    Blanks();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  std::optional<std::wstring> Name() {
    Blanks();
    size_t start = pos_;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
    if (pos_ == start) return std::nullopt;
    return std::wstring(text_.substr(start, pos_ - start));
  }
  std::optional<std::wstring> Quoted() {
    Blanks();
    if (pos_ >= text_.size() || (text_[pos_] != L'"' && text_[pos_] != L'\'')) return std::nullopt;
    wchar_t quote = text_[pos_++];
    size_t end = text_.find(quote, pos_);
    if (end == std::wstring_view::npos) return std::nullopt;
    std::wstring out(text_.substr(pos_, end - pos_));
    pos_ = end + 1;
    return out;
  }
  bool AtEnd() {
    Blanks();
    return pos_ == text_.size();
  }

 private:
  static bool IsNameChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'_';
  }
  std::wstring_view text_;
  size_t pos_ = 0;
};

}  // namespace

bool WqlLike(std::wstring_view text, std::wstring_view pattern) {
  return MatchesWildcards(text, pattern, L'%', L'_');
}

std::optional<WqlQuery> ParseWql(std::wstring_view text) {
  Scanner s(text);
  WqlQuery q;
  if (!s.Word(L"select") || !s.Char(L'*') || !s.Word(L"from")) return std::nullopt;
  auto name = s.Name();
  if (!name) return std::nullopt;
  q.className = *name;
  if (s.AtEnd()) return q;
  if (!s.Word(L"where")) return std::nullopt;
  bool paren = s.Char(L'(');
  auto property = s.Name();
  if (!property) return std::nullopt;
  q.property = *property;
  if (s.Char(L'=')) {
    q.test = WqlQuery::Test::Equals;
  } else if (s.Word(L"like")) {
    q.test = WqlQuery::Test::Like;
  } else {
    return std::nullopt;
  }
  auto operand = s.Quoted();
  if (!operand) return std::nullopt;
  q.operand = *operand;
  if (paren && !s.Char(L')')) return std::nullopt;
  if (!s.AtEnd()) return std::nullopt;
  return q;
}

bool WqlMatches(const WqlQuery& query, const std::optional<std::wstring>& value) {
  switch (query.test) {
    case WqlQuery::Test::All:
      return true;
    case WqlQuery::Test::Like:
      return value && WqlLike(*value, query.operand);
    case WqlQuery::Test::Equals:
      return value && EqualsIgnoreCaseAscii(*value, query.operand);
  }
  return false;
}

}  // namespace quorvane::sim
