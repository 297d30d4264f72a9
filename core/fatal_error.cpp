#include "core/fatal_error.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/encoding.h"
#include "core/gbk_literals.h"

namespace tolvaris {
namespace {

// A message box shows "\r\n" as a line break; a terminal wants "\n" alone.
std::string WithUnixLineBreaks(std::string text) {
  std::string result;
  result.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') continue;
    result.push_back(text[at]);
  }
  return result;
}

void WriteToStandardError(const Text& title, const Text& text) {
  const std::string report =
      GbkToUtf8(title.View()) + "\n" + WithUnixLineBreaks(GbkToUtf8(text.View())) + "\n";
  std::fwrite(report.data(), 1, report.size(), stderr);
  std::fflush(stderr);
}

// The one piece of global state the program has: the platform installs its reporter once, and a
// fatal error may be raised from any thread.
std::atomic<FatalErrorReporter> currentReporter{&WriteToStandardError};

}  // namespace

Text FatalErrorText(const Text& message) {
  // A blank line between the heading and the message, as a message box lays it out.
  return ConcatText(Text(gbk::kFatalErrorHeading), Text("\r\n\r\n"),
                    Text(gbk::kFatalErrorMessageLead), message);
}

void SetFatalErrorReporter(FatalErrorReporter reporter) {
  currentReporter.store(reporter ? reporter : &WriteToStandardError);
}

void RaiseFatalError(const Text& message) {
  currentReporter.load()(Text(gbk::kFatalErrorTitle), FatalErrorText(message));
  std::fflush(stdout);
  // No atexit handlers or static destructors: other threads may still be running.
  std::_Exit(-1);
}

}  // namespace tolvaris
