// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// libFuzzer harness for everything that reads outside input: the first byte chooses the
// reader, the rest is its input. Every input must either be read or refused with the
// reader's message; the sanitizers catch anything else.
#include "Readers.h"

using namespace brimlark;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzReaders::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const auto reader = FuzzReaders::Reader(data[0] % int(FuzzReaders::Reader::Count));
    FuzzReaders::read(reader, data + 1, size - 1);
    return 0;
}
