// C interface of the emulator for programs that do not link libFMWrapper.so but reach it with dlsym, the way
// FileMaker Server's engines meet a plug-in: the loader dlopens the plug-in alone and the plug-in brings in the
// host library through its RUNPATH.
#pragma once

#include <cstddef>

extern "C" {
// Calls the registered function `name` with one text argument (UTF-8) in a new session whose calling file is
// `fileName`, as a calculation would, and writes the text form of its result (UTF-8, NUL-terminated) into `text`.
// Answers the host's code: the function's own answer, 1201/1202 for a wrong argument count, 1224 for a name
// nobody registered, or -1 (and an empty `text`) when an argument is null or the result does not fit.
short FMHost_CallFunction(const char *fileName, const char *name, const char *argument, char *text,
                          std::size_t capacity);
typedef short (*FMHost_CallFunctionProc)(const char *, const char *, const char *, char *, std::size_t);
}

#define FMHOST_CALL_FUNCTION_SYMBOL "FMHost_CallFunction"
