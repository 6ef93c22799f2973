// A test fixture that evaluates calculations in one emulator session.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "FMHost/Host.h"

namespace fmhosttest
{
class cCalcSessionTest : public ::testing::Test
{
protected:
    FMHost::Session session;

    // The result's text; the calculation must evaluate without error.
    std::string value(const std::string &calculation)
    {
        FMHost::Result result = session.Evaluate(calculation);
        EXPECT_EQ(0, result.error) << calculation;
        return result.text;
    }

    int error(const std::string &calculation) { return session.Evaluate(calculation).error; }
    FMHost::Type type(const std::string &calculation) { return session.Evaluate(calculation).type; }
};
} // namespace fmhosttest
