// What the program writes, byte for byte: the one home of these texts on the
// C++ side (the benchmark programs ask and answer with them too).
#pragma once

namespace pigreco::texts {

inline constexpr const char* prompt = "Inserisci il numero di iterazioni: ";
// The e with grave accent is spelled as its UTF-8 bytes, whatever the source
// or execution character set of the compiler.
inline constexpr const char* result_format = "Dopo %d iterazioni il valore approssimato di pi greco \xC3\xA8 %.20g\n";

inline constexpr const char* not_an_integer = "Errore: il numero di iterazioni deve essere un numero intero.\n";
inline constexpr const char* out_of_range =
    "Errore: il numero di iterazioni deve essere compreso tra -2147483648 e 2147483647.\n";
inline constexpr const char* cannot_write = "Errore: impossibile scrivere su standard output.\n";
// With the name of the kernel that the build forces (-DPIGRECO_KERNEL).
inline constexpr const char* cpu_lacks_kernel_format =
    "Errore: questo pigreco \xC3\xA8 compilato per le istruzioni %s, che questo processore non ha.\n";
// On Windows, in a console window of the program's own, after the result or
// an error: the window closes when the program ends.
inline constexpr const char* press_enter_to_close = "Premi Invio per chiudere.";

// While a long sum runs, on a terminal only (progress_line.hpp): the terms
// summed so far, aligned to the width of the total, and the total, both with
// Italian digit grouping; then the time left, with its amount ("12 s").
inline constexpr const char* terms_summed_format = "Termini sommati: %*s di %s";
inline constexpr const char* time_left_format = "mancano circa %s";
inline constexpr const char* time_left_singular_format = "manca circa %s";

} // namespace pigreco::texts
