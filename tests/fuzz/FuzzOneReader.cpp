// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// libFuzzer harness for one reader of outside input, named by BRIMLARK_FUZZ_READER when
// built: the whole input is that reader's.
#include "Readers.h"

#include <cstdio>
#include <cstdlib>

using namespace brimlark;

namespace
{

FuzzReaders::Reader reader = FuzzReaders::Reader::Count;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    reader = FuzzReaders::readerNamed(BRIMLARK_FUZZ_READER);
    if (reader == FuzzReaders::Reader::Count) {
        std::fprintf(stderr, "no reader named '%s'\n", BRIMLARK_FUZZ_READER);
        std::abort();
    }
    FuzzReaders::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzReaders::read(reader, data, size);
    return 0;
}
