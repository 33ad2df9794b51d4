// The fuzzer's seed corpus and its kept findings, replayed as sessions: each
// must pass the checks of a whole run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/scenario/scenario.h"

TEST(FuzzCorpus, EveryInputRunsASoundSession) {
    int inputs = 0;
    for (const auto& file : std::filesystem::directory_iterator(ZOLM_FUZZ_CORPUS)) {
        std::ifstream stream(file.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        scenario::Outcome outcome =
            scenario::RunFuzzInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        for (const std::string& violation : outcome.violations) ADD_FAILURE() << file.path() << ": " << violation;
        ++inputs;
    }
    EXPECT_GE(inputs, 10);
}
