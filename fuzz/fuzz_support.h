#pragma once

// What every fuzz target shares: cutting the input into fields and stopping loudly, with the
// inputs spelled out, when a result differs from what it must be.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tolvaris::fuzz {

// The input cut at its zero bytes into at most count fields. A Text never holds a zero byte, so
// the zero is the one separator that cannot clash with the content. The last field keeps the
// rest of the input, zero bytes included; missing fields are empty. Each field is cut to
// longest bytes, which keeps the naive references' quadratic loops fast.
inline std::vector<std::string> SplitFields(const uint8_t* data, size_t size, size_t count,
                                            size_t longest = std::string::npos) {
  std::vector<std::string> fields;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  while (fields.size() + 1 < count) {
    size_t zero = rest.find('\0');
    if (zero == std::string_view::npos) break;
    fields.emplace_back(rest.substr(0, zero));
    rest.remove_prefix(zero + 1);
  }
  fields.emplace_back(rest);
  fields.resize(count);
  for (std::string& field : fields) field.resize(std::min(field.size(), longest));
  return fields;
}

// Bytes as a C string literal would show them, so a report can be pasted into a test.
inline std::string Escaped(std::string_view bytes) {
  std::string out = "\"";
  bool afterHexEscape = false;
  for (unsigned char c : bytes) {
    // A hex digit right after "\xAB" would join the escape: close and reopen the literal.
    if (afterHexEscape && std::isxdigit(c)) out += "\"\"";
    afterHexEscape = false;
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
      afterHexEscape = true;
    }
  }
  out += '"';
  return out;
}

// Collects the inputs of the operation being checked, to be printed only when it fails.
class Report {
 public:
  Report& Add(std::string_view name, std::string_view value) {
    text_ += "  ";
    text_ += name;
    text_ += " = ";
    text_ += Escaped(value);
    text_ += '\n';
    return *this;
  }
  Report& Add(std::string_view name, long long value) {
    text_ += "  ";
    text_ += name;
    text_ += " = ";
    text_ += std::to_string(value);
    text_ += '\n';
    return *this;
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

[[noreturn]] inline void Fail(std::string_view what, const Report& report, std::string_view actual,
                              std::string_view expected) {
  std::fprintf(stderr, "\n*** %.*s\n%s  actual   = %s\n  expected = %s\n",
               static_cast<int>(what.size()), what.data(), report.Text().c_str(),
               Escaped(actual).c_str(), Escaped(expected).c_str());
  std::abort();
}

[[noreturn]] inline void Fail(std::string_view what, const Report& report) {
  std::fprintf(stderr, "\n*** %.*s\n%s", static_cast<int>(what.size()), what.data(),
               report.Text().c_str());
  std::abort();
}

// The checks take the description of their inputs as a function (returning a Report), called
// only when the check fails: building it for every call would cost more than the operation.
template <typename Describe>
void ExpectSame(std::string_view what, std::string_view actual, std::string_view expected,
                Describe describe) {
  if (actual != expected) Fail(what, describe(), actual, expected);
}

template <typename Describe>
void ExpectSame(std::string_view what, long long actual, long long expected, Describe describe) {
  if (actual != expected) Fail(what, describe(), std::to_string(actual), std::to_string(expected));
}

template <typename Describe>
void Expect(bool condition, std::string_view what, Describe describe) {
  if (!condition) Fail(what, describe());
}

}  // namespace tolvaris::fuzz
