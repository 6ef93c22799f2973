// fmhost --test: test files and Markdown examples with their expected results, the report, JUnit, fresh hosts.
#include <gtest/gtest.h>

#include "support/FmhostProcess.h"

#include <string>
#include <vector>

namespace
{
using namespace fmhostprocess;

// A test file in the build tree, removed with the object.
class cTestFile
{
public:
    cTestFile(const std::string &name, const std::string &content) : path_(scratchPath(name))
    {
        writeFile(path_, content);
    }
    ~cTestFile() { std::remove(path_.c_str()); }
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

TEST(FmhostTestRunner, PassingFilesExitWithZeroAndPrintOnlyTheSummary)
{
    cTestFile file("pass.fmcalc", "# comment\n"
                                  "1 + 1\n"
                                  "// => 2\n"
                                  "// a comment between tests\n"
                                  "Let ( $$x = 5 ; \"\" )\n"
                                  "List ( $$x ;\n"
                                  "       \"b\" )\n"
                                  "// => 5\n"
                                  "// => b\n"
                                  "Length ( \"a\"\n"
                                  "// => error 1207\n"
                                  "\"\"\n"
                                  "// =>\n");
    Outcome outcome = runFmhost({"--no-plugin", "--test", file.path()});
    EXPECT_EQ(0, outcome.status) << outcome.out << outcome.err;
    EXPECT_EQ("4 passed, 0 failed\n", outcome.out);
    EXPECT_EQ("", outcome.err);
}

TEST(FmhostTestRunner, EachFailureIsOneLineWithFileLineCalculationExpectedAndGot)
{
    cTestFile file("fail.fmcalc", "\"abc\"\n"
                                  "// => abd\n"
                                  "List ( 1 ;\n"
                                  "  2 )\n"
                                  "// => 1\n"
                                  "// => 3\n"
                                  "1 / 0\n"
                                  "// => 0\n"
                                  "7\n"
                                  "// => error 1218\n"
                                  "Let ( $$v = NoSuchName ; 1 )\n"
                                  ":nosuchcommand\n"
                                  "\n"
                                  "// => lonely\n"
                                  "2\n"
                                  "// => 2\n");
    Outcome outcome = runFmhost({"--no-plugin", "--test", file.path()});
    EXPECT_EQ(1, outcome.status);
    const std::string at = file.path() + ":";
    std::vector<std::string> expected = {
        at + "1: \"abc\": expected \"abd\", got \"abc\"",
        at + "3: List ( 1 ; 2 ): expected \"1\\r3\", got \"1\\r2\"",
        at + "7: 1 / 0: expected \"0\", got error 1218: division by zero (at character 3)",
        at + "9: 7: expected error 1218, got \"7\"",
        at + "11: Let ( $$v = NoSuchName ; 1 ): expected no error, got error 102: "
             "\"NoSuchName\" is neither a function nor a Let variable (at character 13)",
        at + "12: :nosuchcommand: unknown command :nosuchcommand (:help lists the commands)",
        at + "14: // => lonely: an expected result with no calculation right before it",
        "1 passed, 7 failed",
    };
    EXPECT_EQ(expected, lines(outcome.out));
}

TEST(FmhostTestRunner, MarkdownRunsOnlyFmcalcBlocksWithTheDocumentsLineNumbers)
{
    cTestFile file("doc.md", "# A page\n"
                             "\n"
                             "Text with `1 / 0` in it.\n"
                             "\n"
                             "```fmcalc\n"
                             "Let ( $$seen = 1 ; \"\" )\n"
                             "\"a\" & \"b\"\n"
                             "// => ab\n"
                             "```\n"
                             "\n"
                             "```\n"
                             "1 / 0\n"
                             "// => not checked\n"
                             "```\n"
                             "\n"
                             "- a list item:\n"
                             "  ```fmcalc\n"
                             "  $$seen + 1\n"
                             "  // => 3\n"
                             "  ```\n"
                             "```fmcalc\n"
                             "Length ( \"x\"\n"
                             "```\n");
    Outcome outcome = runFmhost({"--no-plugin", "--test", file.path()});
    EXPECT_EQ(1, outcome.status);
    // The open calculation of the last block ends with its block: it fails alone, on its own line.
    EXPECT_EQ((std::vector<std::string>{
                  file.path() + ":18: $$seen + 1: expected \"3\", got \"2\"",
                  file.path() + ":22: Length ( \"x\": expected no error, got error 1207: unbalanced parenthesis "
                                "(at character 13)",
                  "1 passed, 2 failed"}),
              lines(outcome.out));
}

TEST(FmhostTestRunner, EveryFileRunsInAFreshHost)
{
    cTestFile first("first.fmcalc", "Let ( $$shared = \"set\" ; \"\" )\nLog_Count ( 1 )\n// => 1\n");
    cTestFile second("second.fmcalc", "$$shared\n// =>\n");
    std::string log = scratchPath("fresh.log");
    std::remove(log.c_str());
    Outcome outcome = runFmhost({"--plugin", std::string(TEST_PLUGIN_DIR) + "/LoggingPlugin.fmx", "--file",
                                 "Invoices", "--test", first.path(), second.path()},
                                "", {{"FMHOST_TEST_LOG", log}});
    EXPECT_EQ(0, outcome.status) << outcome.out << outcome.err;
    EXPECT_EQ("2 passed, 0 failed\n", outcome.out);
    // The plug-in is started and shut down once per file.
    const std::string started = "init version=71 app=7 appVersion=Server 21.0.1\n";
    EXPECT_EQ(started + "shutdown\n" + started + "shutdown\n", readFile(log));
    std::remove(log.c_str());
}

TEST(FmhostTestRunner, TheJUnitReportListsEveryCase)
{
    cTestFile file("junit.fmcalc", "1\n// => 1\n\"<&>\"\n// => \"\n");
    std::string report = scratchPath("report.xml");
    Outcome outcome = runFmhost({"--no-plugin", "--test", "--junit", report, file.path()});
    EXPECT_EQ(1, outcome.status);
    const std::string xml = readFile(report);
    const std::string path = file.path();
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<testsuites name=\"fmhost\" tests=\"2\" failures=\"1\" errors=\"0\">\n"
              "  <testsuite name=\"" + path + "\" tests=\"2\" failures=\"1\" errors=\"0\">\n"
              "    <testcase classname=\"" + path + "\" name=\"1: 1\"/>\n"
              "    <testcase classname=\"" + path + "\" name=\"3: &quot;&lt;&amp;&gt;&quot;\">\n"
              "      <failure message=\"expected &quot;\\&quot;&quot;, got &quot;&lt;&amp;&gt;&quot;\">" + path +
                  ":3: &quot;&lt;&amp;&gt;&quot;&#10;expected &quot;\\&quot;&quot;, got &quot;&lt;&amp;&gt;&quot;"
                  "</failure>\n"
              "    </testcase>\n"
              "  </testsuite>\n"
              "</testsuites>\n",
              xml);
    std::remove(report.c_str());
}

TEST(FmhostTestRunner, MistakesAreUsageErrorsBeforeAnythingRuns)
{
    cTestFile file("usage.fmcalc", "1\n// => 1\n");
    const std::vector<std::vector<std::string>> mistakes = {
        {"--no-plugin", "--test"},
        {"--no-plugin", "--test", "/nonexistent/tests.fmcalc"},
        {"--no-plugin", "--test", file.path(), "/nonexistent/tests.md"},
        {"--no-plugin", "--test", "--json", file.path()},
        {"--no-plugin", "--test", "-e", "1", file.path()},
        {"--no-plugin", "--junit", "report.xml", file.path()},
        {"--no-plugin", "--test", "--junit", "/nonexistent/dir/report.xml", file.path()},
        {"--plugin", "/nonexistent/Plugin.fmx", "--test", file.path()},
    };
    for (const auto &arguments : mistakes)
    {
        Outcome outcome = runFmhost(arguments);
        EXPECT_EQ(2, outcome.status) << arguments[2];
        EXPECT_NE("", outcome.err) << arguments[2];
        EXPECT_EQ("", outcome.out) << arguments[2];
    }
}

TEST(FmhostScripts, ACalculationGoesOnWhileAParenthesisBracketOrQuoteIsOpen)
{
    cTestFile script("open.fmcalc", "Let ( [\n"
                                    "    a = \"x\" ; // a ( in a comment\n"
                                    "    b = \"two\n"
                                    "lines)\" /* ( */\n"
                                    "  ] ;\n"
                                    "  a & b )\n"
                                    "List ( 1 ;\n"
                                    "\n"
                                    "3\n"
                                    "1 ) + 2\n");
    Outcome outcome = runFmhost({"--no-plugin", "--json", script.path()});
    EXPECT_EQ(1, outcome.status);
    std::vector<std::string> got = lines(outcome.out);
    ASSERT_EQ(4u, got.size()) << outcome.out;
    EXPECT_NE(std::string::npos, got[0].find("\"value\":\"xtwo\\nlines)\"")) << got[0];
    // A blank line ends an open calculation in a script, so one mistake does not swallow the rest.
    EXPECT_NE(std::string::npos, got[1].find("\"error\":1203")) << got[1];
    EXPECT_NE(std::string::npos, got[2].find("\"value\":\"3\"")) << got[2];
    EXPECT_NE(std::string::npos, got[3].find("\"error\":1207")) << got[3];
}
} // namespace
