#include "frame/InlineDoc.h"

#include <atomic>

namespace
{
// Read and written by the host's calculation threads at once.
std::atomic<bool> g_isInlineDocOn{true};
}

void turnOnInlineDoc()
{
    g_isInlineDocOn = true;
}

void turnOffInlineDoc()
{
    g_isInlineDocOn = false;
}

bool isInlineDocOn()
{
    return g_isInlineDocOn;
}

std::string getHumanReadableState()
{
    return g_isInlineDocOn ? "on" : "off";
}
