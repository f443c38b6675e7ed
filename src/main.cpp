// pigreco: asks for a number of iterations and prints that partial sum of the
// Leibniz series for pi, with the digits of 64-bit-significand arithmetic.
#include <csignal>
#include <cstdio>

#include "count_reader.hpp"
#include "leibniz_sum.hpp"

namespace {

constexpr const char* prompt = "Inserisci il numero di iterazioni: ";
// The e with grave accent is spelled as its UTF-8 bytes, whatever the source
// or execution character set of the compiler.
constexpr const char* result_format = "Dopo %d iterazioni il valore approssimato di pi greco \xC3\xA8 %.20g\n";

constexpr const char* not_an_integer = "Errore: il numero di iterazioni deve essere un numero intero.\n";
constexpr const char* out_of_range =
    "Errore: il numero di iterazioni deve essere compreso tra -2147483648 e 2147483647.\n";
constexpr const char* cannot_write = "Errore: impossibile scrivere su standard output.\n";

int fail(const char* message)
{
    // The status tells the failure even where standard error cannot.
    (void)std::fputs(message, stderr);
    return 1;
}

} // namespace

int main()
{
#if defined(SIGPIPE)
    // A reader that went away is a failed write like any other: report it
    // rather than die silently of the signal.
    // Should this fail, a closed pipe ends the program by the signal: still
    // not a success, so nothing better is left to do.
    (void)std::signal(SIGPIPE, SIG_IGN);
#endif
    if (std::fputs(prompt, stdout) < 0 || std::fflush(stdout) != 0) return fail(cannot_write);

    const pigreco::count_reading reading = pigreco::read_count(stdin);
    if (reading.status == pigreco::count_status::no_numeral) return fail(not_an_integer);
    if (reading.status == pigreco::count_status::out_of_range) return fail(out_of_range);

    const double sum = pigreco::leibniz_sum(reading.count);
    if (std::printf(result_format, static_cast<int>(reading.count), sum) < 0 || std::fflush(stdout) != 0) return fail(cannot_write);
    return 0;
}
