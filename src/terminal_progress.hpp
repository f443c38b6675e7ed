// The progress of a long sum on standard error's terminal, with the steady
// clock; shown only when the count was typed there too (standard input and
// standard error both terminals). Then the Enter that ended the count has put
// the cursor at the start of a line, and a line of progress rewritten and
// erased there leaves the screen as it was. A count piped in leaves the cursor
// after the prompt, whose line the progress would overwrite: nothing is shown.
#pragma once

#include <cstdint>

namespace pigreco {

bool progress_shows();

// The sum, with its progress shown on standard error's terminal: call only
// when progress_shows().
double leibniz_sum_on_terminal(std::int32_t count);

} // namespace pigreco
