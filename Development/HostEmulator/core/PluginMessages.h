// The host's messages about sessions: a plug-in that asks for them (character 10 of its options string) is told
// when a session closes one of its files and when a session ends, as FileMaker Server tells it.
#pragma once

#include <cstdint>

#include "FMWrapper/FMXExtern.h"

namespace emu {

// Asks the plug-in for its options string; when character 10 is 'Y', the plug-in receives the session messages
// until it is detached. Returns whether it asked for them. Attaching twice changes nothing.
bool AttachPlugin(FMX_ExternCallProc entryPoint);
void DetachPlugin(FMX_ExternCallProc entryPoint);

// kFMXT_FileShutdown (parm2 the session id, parm3 the file id) and kFMXT_SessionShutdown (parm2 the session id) to
// every attached plug-in, one message at a time, on the calling thread.
void SendFileShutdown(uint64_t sessionId, uint64_t fileId);
void SendSessionShutdown(uint64_t sessionId);

} // namespace emu
