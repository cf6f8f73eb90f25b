// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// libFuzzer harness for everything that reads outside input: the first byte chooses the
// reader, the rest is its input. Every input must either be read or refused with the
// reader's message; the sanitizers catch anything else.
#include "canvas/BmpCodec.h"
#include "canvas/ChartError.h"
#include "gif/GifCodec.h"
#include "prefs/RegistryFile.h"
#include "workspace/JpegCodec.h"
#include "workspace/SavedData.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    try {
        switch (data[0] % 5) {
        case 0:
            BmpCodec::decode(input);
            break;
        case 1:
            GifCodec::decode(input);
            break;
        case 2:
            JpegCodec::decode(input);
            break;
        case 3:
            RegistryFile::parse(input).serialize();
            break;
        default:
            SavedData::parse(input).view();
            break;
        }
    } catch (const ChartError &) {
    }
    return 0;
}
