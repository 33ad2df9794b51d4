// Which file names a search pattern stands for, judged on the long name alone.
#pragma once

// True when name matches pattern as a Windows file search matches a long name:
// '*' stands for any run of characters, '?' for one character (or none before a
// '.' or at the end of the name), and a '.' followed only by wildcards also
// matches the end of a name without one. ASCII letters match without case; a
// double-byte character of code page 932 is one character and matches itself.
// A search also finds files by their short 8.3 names, so every name it returns
// is checked here before use.
bool MatchesFilePattern(const char* name, const char* pattern);

// Orders names as the program loads them: byte by byte in code page 932, ASCII
// letters without case (ties then broken by the exact bytes). Negative, zero or
// positive, as strcmp.
int CompareFileNames(const char* left, const char* right);
