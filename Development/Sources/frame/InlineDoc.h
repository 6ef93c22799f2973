#ifndef VANTREL_FRAME_INLINEDOC_H
#define VANTREL_FRAME_INLINEDOC_H

#include <string>

// The inline-documentation setting (on at load), read and changed only through these accessors.
void turnOnInlineDoc();
void turnOffInlineDoc();
bool isInlineDocOn();
// "on" or "off".
std::string getHumanReadableState();

#endif
