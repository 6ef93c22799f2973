// Vantrel_ExecuteSQL through fmhost and the sandbox plug-in, on the example database the build makes.
#include "support/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const std::string kDatabase = std::string(VANTREL_BINARY_DIR) + "/examples/invoices.sqlite";

class cSqlEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        allowList_ = plugintest::ReadFile(SANDBOX_ALLOWLIST_PATH);
        plugintest::WriteFile(SANDBOX_ALLOWLIST_PATH, "Invoices\tVantrel_ExecuteSQL\n");
    }
    void TearDown() override { plugintest::WriteFile(SANDBOX_ALLOWLIST_PATH, allowList_); }

    // Evaluates the calculations in one session on the file Invoices backed by `database`.
    static plugintest::cFmhostRun Run(const std::vector<std::string> &calculations,
                                      const std::string &database = kDatabase)
    {
        std::string arguments = "--plugin " + plugintest::Quote(SANDBOX_PLUGIN_PATH) + " --file " +
                                plugintest::Quote(database.empty() ? "Invoices" : "Invoices=" + database);
        for (const std::string &calculation : calculations)
            arguments += " -e " + plugintest::Quote(calculation);
        return plugintest::RunFmhost(arguments);
    }

    // The calculation, then the last error's code and message.
    static plugintest::cFmhostRun RunWithLastError(const std::string &calculation,
                                                   const std::string &database = kDatabase)
    {
        return Run({calculation, "$$Vantrel_LastError", "$$Vantrel_LastErrorMessage"}, database);
    }

    // The calculation's answer (host error 0, its type and text), then the last error's code and message.
    static void ExpectOutcome(const plugintest::cFmhostRun &run, const std::string &type, const std::string &value,
                              const std::string &lastError, const std::string &lastMessage)
    {
        ASSERT_EQ(3u, run.lines.size()) << run.output;
        EXPECT_EQ(0, run.lines[0].error);
        EXPECT_EQ(type, run.lines[0].type);
        EXPECT_EQ(value, run.lines[0].value);
        EXPECT_EQ(lastError, run.lines[1].value);
        EXPECT_EQ(lastMessage, run.lines[2].value);
    }

    std::string allowList_;
};

TEST_F(cSqlEndToEnd, RowsWithTabsAndCarriageReturns)
{
    // Customer 4's name holds a TAB, copied unchanged.
    ExpectOutcome(RunWithLastError("Vantrel_ExecuteSQL ( \"SELECT id, name FROM customers ORDER BY id\" )"), "Text",
                  "1\tAcme Tools\r2\tBrightwater Ltd\r3\tCaf\xC3\xA9 Lumi\xC3\xA8re\r4\tDelta\tSupplies\r5\tEvergreen Farms",
                  "0", "No Error Message");
}

TEST_F(cSqlEndToEnd, ChosenSeparators)
{
    const auto run =
        Run({"Vantrel_ExecuteSQL ( \"SELECT id, name FROM customers WHERE id <= 3 ORDER BY id\" ; \", \" ; \"|\" )"});
    ASSERT_EQ(1u, run.lines.size()) << run.output;
    EXPECT_EQ("1,Acme Tools|2,Brightwater Ltd|3,Caf\xC3\xA9 Lumi\xC3\xA8re", run.lines[0].value);
}

TEST_F(cSqlEndToEnd, AnEmptyResult)
{
    ExpectOutcome(RunWithLastError("Vantrel_ExecuteSQL ( \"SELECT id FROM customers WHERE id > 100\" )"), "Text", "",
                  "0", "No Error Message");
}

TEST_F(cSqlEndToEnd, ASyntaxErrorGivesTheHostCode)
{
    ExpectOutcome(RunWithLastError("Vantrel_ExecuteSQL ( \"SELEC x\" )"), "Number", "8310", "8310", "SQL Error");
}

TEST_F(cSqlEndToEnd, EverySqliteTypeInItsHostTextForm)
{
    const auto run = Run({"Vantrel_ExecuteSQL ( \"SELECT 1.5, 1001, NULL, 'text', -0.125, 15000.0\" ; \"|\" )",
                          "Vantrel_ExecuteSQL ( \"SELECT amount, note FROM invoices WHERE id = 1003\" ; \"|\" )"});
    ASSERT_EQ(2u, run.lines.size()) << run.output;
    EXPECT_EQ("1.5|1001||text|-0.125|15000", run.lines[0].value);
    EXPECT_EQ("1.5|", run.lines[1].value);
}

TEST_F(cSqlEndToEnd, AFileWithoutADatabaseAnswersAnError)
{
    ExpectOutcome(RunWithLastError("Vantrel_ExecuteSQL ( \"SELECT 1\" )", ""), "Number", "8303", "8303", "SQL Error");
}

TEST_F(cSqlEndToEnd, AMissingDatabaseIsReportedAtStart)
{
    const auto run = Run({"1"}, "/nonexistent/invoices.sqlite");
    EXPECT_NE(0, run.status);
    EXPECT_NE(std::string::npos, run.output.find("/nonexistent/invoices.sqlite")) << run.output;
}
}
