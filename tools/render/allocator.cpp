// The process's allocator. One drawing touches tens of megabytes of fresh
// memory (the library's capture is four times the output, twice over), and
// with 4 KiB pages the page faults cost more than the drawing itself.
// jemalloc, told so here, backs its memory with 2 MiB transparent huge
// pages: an 800 x 600 rendering then takes about a tenth of the faults and
// half the processor time of the whole run.
//
// jemalloc reads this string, if the program defines it, when it starts
// (its documented compile-time configuration); the symbol must be visible
// to the library.
extern "C" {
extern __attribute__((visibility("default"))) const char* malloc_conf;
const char* malloc_conf = "thp:always,metadata_thp:auto";
}
