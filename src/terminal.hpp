// The program's standard streams as terminals (on Windows, consoles), for the
// progress of a long sum, which goes to standard error and only there.
#pragma once

#include <string_view>

namespace pigreco {

enum class standard_stream { input, output, error };

bool is_terminal(standard_stream stream);

// The width of standard error's terminal in columns; 0 where it does not say.
int error_terminal_columns();

// Straight to standard error's terminal, not through its C stream.
void write_to_error_terminal(std::string_view bytes);

} // namespace pigreco
