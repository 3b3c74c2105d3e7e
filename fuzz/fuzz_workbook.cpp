// Fuzz target: Workbook::fromBytes on the bytes of a whole .xls file.

#include "fuzz/fuzzer.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    lv::fuzz::initialise();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    return lv::fuzz::runTarget(lv::fuzz::fuzzWorkbook, data, size);
}
