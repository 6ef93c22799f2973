// Large query results and texts touch tens of megabytes. In 4 KiB pages every first touch is a page fault, which on
// a virtual machine costs more than the copy itself; in transparent huge pages it is one fault in 512. The C library
// backs its heap with them only when asked at start-up, so fmhost starts itself once more with that setting, then
// puts the caller's environment back for the processes it starts. It goes on unchanged when it cannot restart, when
// the system gives huge pages always or never, under valgrind, and when FMHOST_HUGE_PAGES=0.
#pragma once

namespace fmhost
{
// Call first thing in main, before any thread or handler exists.
void preferHugePages(char **argv);
} // namespace fmhost
