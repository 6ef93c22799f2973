#include "frame/InlineDoc.h"

namespace
{
bool g_isInlineDocOn = true;
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
