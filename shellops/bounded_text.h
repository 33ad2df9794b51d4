// Texts written into fixed buffers, cut between characters of code page 932,
// never inside a double-byte one.
#pragma once

#include <cstddef>
#include <cstdint>

// Appends length bytes of text (all of it without length) to the NUL-terminated
// out of size bytes, cut before the first character that would not fit whole.
void AppendCut(char* out, std::size_t size, const char* text, std::size_t length);
void AppendCut(char* out, std::size_t size, const char* text);

// Writes text, of the string table, into out, zero-filled first, with name in
// place of %s and number in decimal in place of %d.
void ExpandText(char* out, std::size_t size, const char* text, const char* name, uint32_t number);
