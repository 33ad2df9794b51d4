// libFuzzer's entry: a settings file and a few bytes of the player's choices, run
// as a whole session; any broken check ends the run as a finding.
#include <cstdio>
#include <cstdlib>

#include "tests/scenario/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    scenario::Outcome outcome = scenario::RunFuzzInput(data, size);
    if (outcome.violations.empty()) return 0;
    for (const std::string& violation : outcome.violations) std::fprintf(stderr, "%s\n", violation.c_str());
    std::abort();
}
