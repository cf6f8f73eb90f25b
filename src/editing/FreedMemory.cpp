// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "editing/FreedMemory.h"

#include "canvas/ChartMemory.h"

#include <cstdlib> // defines __GLIBC__ with the C library's headers

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace brimlark
{

void FreedMemory::giveBack()
{
    ChartMemory::releaseKept();
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace brimlark
