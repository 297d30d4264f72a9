#pragma once

namespace tolvaris::naive {

// Holds the naive references to the worked examples of the operations they mirror, so that a
// slip in a reference cannot pass for agreement. Stops the process with a message on the first
// wrong answer. Every fuzz target calls it once, before the first input.
void CheckKnownAnswers();

}  // namespace tolvaris::naive
