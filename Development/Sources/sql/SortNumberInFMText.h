#ifndef VANTREL_SQL_SORTNUMBERINFMTEXT_H
#define VANTREL_SQL_SORTNUMBERINFMTEXT_H

#include <string>
#include <vector>

#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXData.h"

// Sorts the numbers of a list (one per paragraph) ascending and writes them into result as text, each in the
// shortest "%g" form of 6 significant digits and followed by a carriage return.
void SortNumberInFMText(const fmx::Text &text, fmx::Data &result);

namespace vtl
{
// The steps of SortNumberInFMText on plain bytes, for tests.
// Each paragraph contributes the decimal number it starts with (after white space), or nothing.
std::vector<double> NumbersFromLines(const std::string &bytes);
std::string SortedNumberList(const std::string &bytes);
}

#endif
