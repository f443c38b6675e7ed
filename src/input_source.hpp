// What standard input is decides how far the count reader may read ahead
// without taking bytes that belong to whoever reads the input after it.
#pragma once

#include <cstdio>

namespace pigreco {

enum class input_source {
    terminal, // a person types lines: the line holding the numeral is the program's
    seekable, // a file: read in blocks, then put back where the numeral ends
    stream,   // a pipe or anything else: read byte by byte, never past the numeral's end
};

// What `in` is, and on Windows a pipe or a file switched to binary mode for
// the reader: there text mode would turn CR LF into one byte, and its file
// positions are wrong for lines that end in LF alone. CR is white space to
// the reader either way. Call it before anything else reads `in`.
input_source prepare_input(std::FILE* in);

} // namespace pigreco
