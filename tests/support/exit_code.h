#pragma once

namespace tolvaris::testing {

// Exit code -1 as a parent process sees it: POSIX keeps its low eight bits, Windows the whole
// value.
#ifdef _WIN32
inline constexpr int kExitCodeMinusOne = -1;
#else
inline constexpr int kExitCodeMinusOne = 255;
#endif

}  // namespace tolvaris::testing
