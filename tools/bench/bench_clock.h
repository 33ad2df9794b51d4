// What the benchmarks share: a clock in milliseconds, and the folder they work in.
#pragma once

#include <windows.h>

#include <cstdio>

namespace bench {

inline double Now() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The folder named on the command line, else %TEMP%\<name>; made when missing.
inline void ChooseFolder(int argc, char** argv, const char* name, char* folder) {
    if (argc > 1) {
        std::snprintf(folder, MAX_PATH, "%s", argv[1]);
    } else {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        std::snprintf(folder, MAX_PATH, "%s%s", temp, name);
    }
    CreateDirectoryA(folder, nullptr);
    std::printf("data folder: %s\n", folder);
}

}  // namespace bench
