#pragma once

#include <string>
#include <string_view>

namespace tolvaris {

// What the libcurl request object accepts from its caller before anything reaches the wire.
// The checks keep a caller's text from ending a line early: no CR, LF or zero byte gets into a
// request line or a header line.

// An HTTP token (RFC 9110 tchar): method names and header names. Never empty; a colon, a space
// or a control byte makes it no token.
bool IsHttpToken(std::string_view text);

// A header value that stays on its own line: no CR, LF or zero byte. Bytes >= 0x80 (GBK) and
// tabs are allowed.
bool IsSendableHeaderValue(std::string_view value);

// The line handed to libcurl for one header. libcurl reads "Name:" with nothing after it as
// "drop this header", so a value that is empty or blank is written in its "Name;" form, which
// sends the header with an empty value.
std::string CurlHeaderLine(std::string_view name, std::string_view value);

// Equality with ASCII letters compared without case, as header names and URL schemes compare.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace tolvaris
