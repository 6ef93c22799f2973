#ifndef VANTREL_HOST_FMUTILS_H
#define VANTREL_HOST_FMUTILS_H

#include <string>
#include <vector>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXCalcEngine.h"

class cFMUtils
{
public:
    // The UTF-8 bytes of text, kept whole (the buffer grows for text whose UTF-8 form is longer than its units + 1).
    static std::vector<char> CharsFromFMText(const fmx::Text &text);
    // The same as a string without zero bytes; the flag has no effect.
    static std::string StringFromFmxText(const fmx::Text &text, bool flag = false);
    // Evaluates calculation (native encoding) in env; the result's UTF-8 text, or "?" when the host reports an error.
    static std::string evaluateCalculation(const std::string &calculation, const fmx::ExprEnv &env);
    // The name (without extension) of the file whose calculation env belongs to, or "?" when the host reports an
    // error. Hosts from interface version 60 on answer through their Get function, without parsing a calculation;
    // older ones, and one that refuses the Get function, evaluate "Get( fileName )".
    static std::string callingFileName(const fmx::ExprEnv &env);
    // The host's interface version, from its initialise message (0 until then: only calculations are used).
    static void setHostVersion(int version);
};

#endif
