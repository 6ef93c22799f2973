#include "globals/Value.h"

#include "iOS_SupportFunctions/HostValues.h"

vtl::Value::Value(const fmx::Data &source)
{
    assign(source);
}

void vtl::Value::assign(const fmx::Data &source)
{
    fmlib::FMData2FMData(source, *mData);
}

void vtl::Value::copyTo(fmx::Data &target) const
{
    fmlib::FMData2FMData(*mData, target);
}
