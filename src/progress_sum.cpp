#include "progress_sum.hpp"

#include <algorithm>
#include <optional>
#include <string>

#include "leibniz_sum.hpp"
#include "progress_line.hpp"

namespace pigreco {

double leibniz_sum_showing_progress(std::int32_t count, progress_output& output, std::uint32_t piece)
{
    if (count <= 0) return leibniz_sum(count);
    const auto total = static_cast<std::uint32_t>(count);
    double sum = 0.0;
    std::optional<std::chrono::milliseconds> last_shown;
    std::size_t shown = 0;
    int columns = 0;
    for (std::uint32_t done = 0; done < total;) {
        const std::uint32_t terms = std::min(piece, total - done);
        sum = leibniz_sum_further(sum, done, terms);
        done += terms;
        if (done == total) break;
        const std::chrono::milliseconds elapsed = output.elapsed();
        if (!progress_due(elapsed, last_shown)) continue;
        last_shown = elapsed;
        columns = output.columns();
        const std::string line = progress_line(elapsed, done, total, columns);
        if (line.empty() && shown == 0) continue; // too narrow a terminal for any
        // Whatever an interrupt finds on the screen meanwhile, it erases.
        output.on_screen(std::max(shown, line.size()));
        output.write(line_replacing(line, shown, columns));
        shown = line.size();
        output.on_screen(shown);
    }
    if (shown > 0) {
        output.write(line_erasing(shown, columns));
        output.on_screen(0);
    }
    return sum;
}

} // namespace pigreco
