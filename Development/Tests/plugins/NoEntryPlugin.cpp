// A library that is no plug-in: it lacks FMExternCallProc.
extern "C" __attribute__((visibility("default"))) int notAnEntryPoint() { return 0; }
