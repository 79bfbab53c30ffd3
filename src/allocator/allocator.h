#pragma once
// The programs allocate through mimalloc, linked in place of the C library's malloc (the
// tests and fuzz targets keep the C library's, which their checkers expect). A document's
// build makes and drops millions of small values, the templates' data being a tree of them;
// the C library's allocator spent a quarter of a web site's build's instructions on them,
// mimalloc less than a quarter of that.
//
// mimalloc takes no lock (its shared state changes by atomic operations only), so a child
// forked while another thread allocates finds it in order, as the layout process needs.

// Called first thing in main: freed memory goes back to the system at once, as the C
// library's allocator gives it back, so that a large build's peak stays where it was
// (MIMALLOC_DECOMMIT_DELAY in the environment, in milliseconds, still decides otherwise).
void TuneAllocator();
