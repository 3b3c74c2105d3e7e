// Fuzz target: the BIFF record layer and biff::readStream on a bare stream.

#include "fuzz/fuzzer.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    lv::fuzz::initialise();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    return lv::fuzz::runTarget(lv::fuzz::fuzzBiff, data, size);
}
