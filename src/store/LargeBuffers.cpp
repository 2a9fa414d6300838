#include "LargeBuffers.h"

#include <malloc.h>

namespace store {

void reuseLargeBuffers()
{
    static const bool done = [] {
        mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
        mallopt(M_TOP_PAD, 64 * 1024 * 1024);
        return true;
    }();
    (void)done;
}

} // namespace store
