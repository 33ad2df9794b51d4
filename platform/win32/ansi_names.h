// Names as the system stores them (UTF-16), handed to the program in the ANSI
// code page only when that spells them exactly.
#pragma once

#include <cstddef>

#include "platform/win32/win32_headers.h"

namespace sys {

// Writes name into out (size bytes, NUL-terminated) in the ANSI code page,
// without best fit: a character the code page lacks, or has only a look-alike
// for (U+00A5, the yen sign, would become a backslash), is written as '?', which
// no file name holds. A name that does not fit is written as "?" alone.
void ToAnsiName(const WCHAR* name, char* out, std::size_t size);

}  // namespace sys
