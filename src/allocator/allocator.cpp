#include "allocator/allocator.h"

#include <mimalloc.h>

void TuneAllocator() {
  // By default mimalloc keeps freed pages for 25 ms before giving them back, which at the
  // pace a build frees its objects holds several megabytes more at the peak.
  mi_option_set(mi_option_decommit_delay, 0);
}
