#include "FMWrapper/FMXExtern.h"

// The record of the message being handled; the host SDK's library reads it under exactly this name.
__attribute__((visibility("default"))) FMX_ExternCallPtr gFMX_ExternCallPtr = nullptr;
