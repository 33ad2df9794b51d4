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

// True when name, a formatted archive name, is a relative path of valid file
// names: not rooted, no drive, no empty, "." or ".." part, no character Windows
// refuses in a name. Code page 932 aware: a trail byte is never '\\' or '|'.
bool IsSafeArchiveName(const char* name);

// True when format is a safe time format whose names stay below the archive
// root, judged on a sample time. A sample that does not fit a path is judged on
// its conversions alone; each name is checked again before it is used.
bool IsSafeArchiveFormat(const char* format);
