// Fuzz target: the number-text parsers and formatters under sv_SE and en_US.

#include "fuzz/fuzzer.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    lv::fuzz::initialise();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    return lv::fuzz::runTarget(lv::fuzz::fuzzNumberText, data, size);
}
