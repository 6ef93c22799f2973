#ifndef VANTREL_GLOBALS_VALUE_H
#define VANTREL_GLOBALS_VALUE_H

#include "FMWrapper/FMXData.h"

namespace vtl
{
// One stored global: a host value object of our own, filled and read only through the host's typed copy, so no
// host object is ever shared with a caller.
class Value
{
public:
    explicit Value(const fmx::Data &source);
    Value(const Value &) = delete;
    Value &operator=(const Value &) = delete;

    void assign(const fmx::Data &source);
    void copyTo(fmx::Data &target) const;

private:
    fmx::DataUniquePtr mData;
};
}

#endif
