// Runs once in every fuzz target before the first input.

#include "fuzz/reference/known_answers.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  tolvaris::naive::CheckKnownAnswers();
  return 0;
}
