// Formats from the INI file are checked before they reach the platform's
// formatting routines, which trust their format completely.
#pragma once

// True when format holds exactly `integers` conversions and each takes one
// integer argument (d, i, u, x, X, with flags, width and precision), besides
// plain text and "%%".
bool IsIntegerFormat(const char* format, int integers);

// True when format holds only the conversions of strftime that every runtime
// the program meets supports, besides plain text and "%%".
bool IsSafeTimeFormat(const char* format);
