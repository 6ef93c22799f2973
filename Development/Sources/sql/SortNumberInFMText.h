#ifndef VANTREL_SQL_SORTNUMBERINFMTEXT_H
#define VANTREL_SQL_SORTNUMBERINFMTEXT_H

#include <string>
#include <vector>

#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXData.h"

// Sorts the numbers of a list (one per paragraph) ascending and writes them into result as text, each in the
// shortest plain decimal that reads back as the same double ("inf"/"-inf" for infinities) and followed by a
// carriage return. A sorted list longer than 2^27 characters throws std::length_error.
void SortNumberInFMText(const fmx::Text &text, fmx::Data &result);

namespace vtl
{
// The steps of SortNumberInFMText on plain bytes, for tests.
// Each paragraph contributes the number "%lf" reads at its start (hexadecimal and infinity included), or nothing
// (no number, or NaN).
std::vector<double> NumbersFromLines(const std::string &bytes);
std::string SortedNumberList(const std::string &bytes);
}

#endif
