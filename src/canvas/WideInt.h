// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

namespace brimlark
{

/// A 128-bit integer for the products of two far coordinates that the rasterisers compare
/// and divide exactly; 64 bits overflow for coordinates near the 32-bit limits.
__extension__ typedef __int128 WideInt;

} // namespace brimlark
