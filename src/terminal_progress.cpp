#include "terminal_progress.hpp"

#include <chrono>

#include "interrupt.hpp"
#include "progress_sum.hpp"
#include "terminal.hpp"

namespace pigreco {

namespace {

class terminal_output final : public progress_output {
public:
    std::chrono::milliseconds elapsed() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_);
    }
    int columns() override { return error_terminal_columns(); }
    void write(std::string_view bytes) override { write_to_error_terminal(bytes); }
    void on_screen(std::size_t characters) override { progress_on_screen(characters); }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace

bool progress_shows()
{
    return is_terminal(standard_stream::input) && is_terminal(standard_stream::error);
}

double leibniz_sum_on_terminal(std::int32_t count)
{
    erase_progress_on_interrupt();
    terminal_output output;
    return leibniz_sum_showing_progress(count, output);
}

} // namespace pigreco
