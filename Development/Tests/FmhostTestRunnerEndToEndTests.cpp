// fmhost --test: test files and Markdown examples with their expected results, the report, JUnit, fresh hosts.
#include <gtest/gtest.h>

#include "support/FmhostProcess.h"

#include <random>
#include <regex>
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

// The report with its times and timestamps, which change from run to run, replaced by "T".
std::string withoutTimes(const std::string &xml)
{
    return std::regex_replace(xml, std::regex("(time|timestamp)=\"[^\"]*\""), "$1=\"T\"");
}

// Whether xmllint finds the report well-formed and valid against our JUnit schema; its messages when not.
::testing::AssertionResult isValidJUnit(const std::string &report)
{
    const std::string messages = scratchPath("xmllint.txt");
    const std::string command = "xmllint --noout --schema '" + std::string(VANTREL_SOURCE_DIR) +
                                "/Development/Tests/data/junit.xsd' '" + report + "' >'" + messages + "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string said = readFile(messages);
    std::remove(messages.c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "xmllint: " << said;
}

// fmhost --no-plugin --test on one file with a JUnit report: the outcome, the report ("" when none was written)
// and whether it is valid.
struct cReported
{
    Outcome outcome;
    std::string xml;
    ::testing::AssertionResult valid;
};

cReported runWithJUnit(const std::string &testFile)
{
    const std::string report = scratchPath("report.xml");
    std::remove(report.c_str());
    Outcome outcome = runFmhost({"--no-plugin", "--test", "--junit", report, testFile});
    cReported reported{outcome, readFile(report), isValidJUnit(report)};
    std::remove(report.c_str());
    return reported;
}

std::vector<std::string> junitNames(const std::string &xml)
{
    std::vector<std::string> names;
    const std::regex name("<testcase classname=\"[^\"]*\" name=\"([^\"]*)\"");
    for (std::sregex_iterator it(xml.begin(), xml.end(), name), end; it != end; ++it)
        names.push_back((*it)[1]);
    return names;
}

TEST(FmhostTestRunner, TheJUnitReportListsEveryCaseWithItsTimeAndTheSuitesTimestamp)
{
    cTestFile file("junit.fmcalc", "1\n// => 1\n\"<&>\"\n// => \"\n");
    const cReported run = runWithJUnit(file.path());
    EXPECT_EQ(1, run.outcome.status);
    const std::string &xml = run.xml;
    const std::string path = file.path();
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<testsuites name=\"fmhost\" tests=\"2\" failures=\"1\" errors=\"0\" time=\"T\">\n"
              "  <testsuite name=\"" + path + "\" tests=\"2\" failures=\"1\" errors=\"0\" skipped=\"0\" time=\"T\" "
              "timestamp=\"T\">\n"
              "    <testcase classname=\"" + path + "\" name=\"1\" time=\"T\"/>\n"
              "    <testcase classname=\"" + path + "\" name=\"&quot;&lt;&amp;&gt;&quot;\" time=\"T\">\n"
              "      <failure message=\"expected &quot;\\&quot;&quot;, got &quot;&lt;&amp;&gt;&quot;\">" + path +
                  ":3: &quot;&lt;&amp;&gt;&quot;&#10;expected &quot;\\&quot;&quot;, got &quot;&lt;&amp;&gt;&quot;"
                  "</failure>\n"
              "    </testcase>\n"
              "  </testsuite>\n"
              "</testsuites>\n",
              withoutTimes(xml));
    EXPECT_TRUE(std::regex_search(xml, std::regex("timestamp=\"20[0-9]{2}-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:"
                                                  "[0-6][0-9]\"")))
        << xml;
    EXPECT_TRUE(std::regex_search(xml, std::regex("name=\"1\" time=\"[0-9]+\\.[0-9]{3}\""))) << xml;
    EXPECT_TRUE(run.valid);
}

TEST(FmhostTestRunner, TheJUnitReportStaysValidXmlWhateverTheTestsHold)
{
    // Characters XML cannot carry, in names, calculations, expected and actual results; lone surrogates come from
    // Char, "]]>" would end a CDATA section.
    cTestFile file("hostile.fmcalc",
                   "// U+FFFE \xEF\xBF\xBE and U+FFFF \xEF\xBF\xBF in a name\n"
                   "\"\xEF\xBF\xBE\"\n"
                   "// => \xEF\xBF\xBF\n"
                   "\"a\x01" "b\x1B" "c\x7F\"\n"
                   "// => ]]>\n"
                   "Char ( 57343 ) & Char ( 55296 ) & Char ( 1 ) & Char ( 65534 )\n"
                   "// => <![CDATA[ ]]> &#0; &lt\n"
                   "// \x02 a control character in a comment\n"
                   "\"\xF0\x9F\x98\x80 \xE2\x80\xA8 \xC2\x85\"\n"
                   "// => \"\n"
                   ":no\x01such\n"
                   "// => \xEF\xBF\xBE\n");
    const cReported run = runWithJUnit(file.path());
    EXPECT_EQ(1, run.outcome.status) << run.outcome.err;
    EXPECT_EQ("0 passed, 6 failed", lines(run.outcome.out).back());
    const std::string &xml = run.xml;
    EXPECT_TRUE(run.valid) << xml;
    // What XML cannot carry is shown, not lost; what it can carry stays as it is.
    EXPECT_EQ((std::vector<std::string>{"U+FFFE \\uFFFE and U+FFFF \\uFFFF in a name",
                                        "&quot;a\\u0001b\\u001Bc\x7F&quot;",
                                        "Char ( 57343 ) &amp; Char ( 55296 ) &amp; Char ( 1 ) &amp; Char ( 65534 )",
                                        "\\u0002 a control character in a comment",
                                        ":no\\u0001such",
                                        "// =&gt; \\uFFFE"}),
              junitNames(xml));
    EXPECT_NE(std::string::npos, xml.find("]]&gt;")) << xml;
    EXPECT_NE(std::string::npos, xml.find("\xF0\x9F\x98\x80 \xE2\x80\xA8 \xC2\x85")) << xml;
}

// UTF-8 of any character but the line ends, drawn mostly from what XML cannot carry or treats specially.
std::string randomLineText(std::mt19937 &random, std::size_t length)
{
    static const char32_t kHostile[] = {0x0,    0x1,    0x8,    0x9,    0xB,     0x1B,    '"',    '\\',  '&',
                                        '<',    '>',    ']',    0x7F,   0x85,    0x2028,  0x2029, 0xD7FF, 0xE000,
                                        0xFDD0, 0xFFFE, 0xFFFF, 0x1FFFE, 0x10FFFF, 0x1F600, U'\u00e9', U'\u00b6'};
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
    {
        char32_t c = random() % 3 ? kHostile[random() % (sizeof kHostile / sizeof kHostile[0])]
                                  : static_cast<char32_t>(0x20 + random() % 0x5F);
        if (c < 0x80)
            text += static_cast<char>(c);
        else if (c < 0x800)
            text += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        else if (c < 0x10000)
            text += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                     static_cast<char>(0x80 | (c & 0x3F))};
        else
            text += {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                     static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
    return text;
}

TEST(FmhostTestRunner, TheJUnitReportStaysValidXmlForRandomTestFiles)
{
    std::mt19937 random(20261210); // the same files every run
    for (int round = 0; round < 3; ++round)
    {
        std::string content;
        for (int test = 0; test < 40; ++test)
            content += "// " + randomLineText(random, 1 + random() % 12) + "\n\"" + randomLineText(random, random() % 12) +
                       "\" & Char ( " + std::to_string(random() % 70000) + " )\n// => " +
                       randomLineText(random, random() % 12) + "\n";
        cTestFile file("random.fmcalc", content);
        const cReported run = runWithJUnit(file.path());
        EXPECT_EQ(1, run.outcome.status) << run.outcome.err;
        EXPECT_TRUE(run.valid) << "round " << round;
        EXPECT_EQ(40u, junitNames(run.xml).size()) << "round " << round;
    }
}

TEST(FmhostTestRunner, AFileThatIsNotUtf8IsAnErrorNamingTheFileAndTheLine)
{
    const std::vector<std::pair<std::string, std::string>> files = {
        {"1\n// => 1\n\"caf\xE9\"\n// => CAF\xC9\n", ":3: not UTF-8 text (byte 0xE9 at column 5)"},
        {"\"\xC3\xA9t\xC3\xA9\" & \"\xC0\xAF\"\n// => x\n", ":1: not UTF-8 text (byte 0xC0 at column 10)"},
        {"1\n// => 1\n// an encoded surrogate: \xED\xA0\x80\n", ":3: not UTF-8 text (byte 0xED at column 26)"},
        {"1\n// => \xF4\x90\x80\x80\n", ":2: not UTF-8 text (byte 0xF4 at column 7)"},
        {"1\n// => \xE2\x82", ":2: not UTF-8 text (byte 0xE2 at column 7)"},
    };
    for (const auto &content : files)
    {
        cTestFile file("latin1.fmcalc", content.first);
        const cReported run = runWithJUnit(file.path());
        EXPECT_EQ(2, run.outcome.status);
        EXPECT_EQ("", run.outcome.out);
        EXPECT_EQ("fmhost: " + file.path() + content.second + "; test files are read as UTF-8\n", run.outcome.err);
        EXPECT_EQ("", run.xml) << "nothing runs, no report is written";
    }
}

TEST(FmhostTestRunner, TestsAreNamedByTheCommentBeforeThemOrByTheirCalculation)
{
    const std::string tests = "# Sums\n"
                              "1 + 1\n"
                              "// => 2\n"
                              "2 + 2\n"
                              "// => 4\n"
                              "// the   same twice   \n"
                              "3\n"
                              "// => 3\n"
                              "\n"
                              "// not right before it\n"
                              "\n"
                              "List ( 1 ;\n"
                              "       2 )\n"
                              "// => 1\n"
                              "// => 2\n"
                              "// the   same twice\n"
                              "4\n"
                              "// => 4\n"
                              "1 + 1\n"
                              "// => 2\n"
                              "// 1 + 1 (2)\n"
                              "5\n"
                              "// => 5\n"
                              "1 + 1\n"
                              "// => 2\n";
    cTestFile file("names.fmcalc", tests);
    // The same tests after more lines: the names, which CI servers key their history by, do not move.
    cTestFile moved("names.fmcalc", "// opening words\n\nLet ( $$x = 1 ; \"\" )\n\n" + tests);
    const std::vector<std::string> expected = {"Sums", "2 + 2", "the   same twice", "List ( 1 ; 2 )",
                                               "the   same twice (2)", "1 + 1", "1 + 1 (2)", "1 + 1 (3)"};
    for (const cTestFile *each : {&file, &moved})
    {
        const cReported run = runWithJUnit(each->path());
        EXPECT_EQ(0, run.outcome.status) << run.outcome.out << run.outcome.err;
        EXPECT_EQ(expected, junitNames(run.xml));
        EXPECT_TRUE(run.valid);
    }
}

TEST(FmhostTestRunner, AFileWithoutAnyTestIsAnError)
{
    const std::vector<std::pair<std::string, std::string>> files = {
        {"empty.fmcalc", ""},
        {"setup.fmcalc", "# only set-up\nLet ( $$x = 1 ; \"\" )\n:session other\n// a comment\n"},
        {"page.md", "# A page\n\n```\n1\n// => 1\n```\n"},
    };
    for (const auto &content : files)
    {
        cTestFile good("good.fmcalc", "1\n// => 1\n");
        cTestFile file(content.first, content.second);
        Outcome outcome = runFmhost({"--no-plugin", "--test", good.path(), file.path()});
        EXPECT_EQ(2, outcome.status) << content.first;
        EXPECT_EQ("", outcome.out) << content.first;
        EXPECT_NE(std::string::npos, outcome.err.find("fmhost: " + file.path() + ": no test in it")) << outcome.err;
    }
}

TEST(FmhostTestRunner, FilterChecksTheMatchingTestsAndRunsTheRestForTheirEffects)
{
    cTestFile file("filter.fmcalc", "// rate is set\n"
                                    "Let ( $$rate = 2 ; $$rate )\n"
                                    "// => 2\n"
                                    "// net price\n"
                                    "10 * $$rate\n"
                                    "// => 20\n"
                                    "// gross price\n"
                                    "$$rate * 12\n"
                                    "// => 24\n"
                                    "// broken price\n"
                                    "1\n"
                                    "// => 2\n"
                                    "// caf\xC3\xA9\n"
                                    "3\n"
                                    "// => 3\n");
    cTestFile other("other.fmcalc", "\"net\"\n// => net\n");
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
        {{"--filter", "net price"}, "1 passed, 0 failed\n"},
        {{"--filter", "*price"}, ".+:11: 1: expected \"2\", got \"1\"\n2 passed, 1 failed\n"},
        {{"--filter=g?oss*", "--filter", "*net*"}, "3 passed, 0 failed\n"},
        {{"--filter", "NET PRICE", "--filter", "nothing"}, ""},
        // "?" stands for one character, however many bytes it takes
        {{"--filter", "caf?"}, "1 passed, 0 failed\n"},
    };
    for (const auto &run : runs)
    {
        std::vector<std::string> arguments = {"--no-plugin", "--test", file.path(), other.path()};
        arguments.insert(arguments.end(), run.first.begin(), run.first.end());
        Outcome outcome = runFmhost(arguments);
        EXPECT_TRUE(std::regex_match(outcome.out, std::regex(run.second))) << run.first.back() << ": " << outcome.out;
        EXPECT_EQ(run.second.empty() ? 2 : run.second.find(" 0 failed") != std::string::npos ? 0 : 1, outcome.status)
            << run.first.back();
    }
    Outcome none = runFmhost({"--no-plugin", "--test", file.path(), "--filter", "NET PRICE"});
    EXPECT_EQ("fmhost: no test matches --filter \"NET PRICE\"\n", none.err);
}

TEST(FmhostTestRunner, TapOutputHasALineForEveryCaseAndTheFailuresInYaml)
{
    cTestFile file("tap.fmcalc", "# first # test\n"
                                 "1\n"
                                 "// => 1\n"
                                 "List ( 1 ;\n"
                                 "       2 )\n"
                                 "// => 1\n"
                                 "// => 3\n"
                                 ":nosuchcommand\n");
    Outcome outcome = runFmhost({"--no-plugin", "--test", "--tap", file.path()});
    EXPECT_EQ(1, outcome.status);
    const std::string path = file.path();
    EXPECT_EQ("TAP version 13\n"
              "ok 1 - " + path + ": first \\# test\n"
              "not ok 2 - " + path + ": List ( 1 ; 2 )\n"
              "  ---\n"
              "  message: \"expected \\\"1\\\\r3\\\", got \\\"1\\\\r2\\\"\"\n"
              "  at: \"" + path + ":4\"\n"
              "  calculation: \"List ( 1 ; 2 )\"\n"
              "  ...\n"
              "not ok 3 - " + path + ": :nosuchcommand\n"
              "  ---\n"
              "  message: \"unknown command :nosuchcommand (:help lists the commands)\"\n"
              "  at: \"" + path + ":8\"\n"
              "  calculation: \":nosuchcommand\"\n"
              "  ...\n"
              "1..3\n"
              "# 1 passed, 2 failed\n",
              outcome.out);
}

TEST(FmhostTestRunner, AnEscapedExpectationStatesLineFeedsTabsAndBackslashes)
{
    cTestFile file("escapes.fmcalc", "\"a\" & Char ( 10 ) & \"b\" & Char ( 9 ) & \"\\\\\"\n"
                                     "// \\=> a\\nb\\t\\\\\n"
                                     "List ( \"x\" ; \"y\" & Char ( 10 ) )\n"
                                     "// => x\n"
                                     "//\\=> y\\n\n"
                                     "\"error 5\"\n"
                                     "// \\=> error 5\n"
                                     "\"a\\\\nb\"\n"
                                     "// => a\\nb\n");
    Outcome outcome = runFmhost({"--no-plugin", "--test", file.path()});
    EXPECT_EQ(0, outcome.status) << outcome.out << outcome.err;
    EXPECT_EQ("4 passed, 0 failed\n", outcome.out);

    cTestFile bad("bad-escape.fmcalc", "1\n// => 1\n\"a\"\n// \\=> \\a\n");
    Outcome refused = runFmhost({"--no-plugin", "--test", bad.path()});
    EXPECT_EQ(2, refused.status);
    EXPECT_EQ("fmhost: " + bad.path() + ":4: unknown escape \\a in an expected result (\\n, \\r, \\t and \\\\ are "
              "known)\n",
              refused.err);
}

// :quit leaves a script, but a test file that stopped there would pass without its other tests.
TEST(FmhostTestRunner, QuitInATestFileIsAFailureAndTheRestStillRuns)
{
    cTestFile file("quit.fmcalc", "1\n"
                                  "// => 1\n"
                                  ":quit\n"
                                  "2\n"
                                  "// => 2\n");
    Outcome outcome = runFmhost({"--no-plugin", "--test", file.path()});
    EXPECT_EQ(1, outcome.status);
    EXPECT_EQ(file.path() + ":3: :quit: :quit does not belong in a test file: every test of a file runs\n"
                            "2 passed, 1 failed\n",
              outcome.out);
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
        {"--no-plugin", "--tap", file.path()},
        {"--no-plugin", "--filter", "x", file.path()},
        {"--no-plugin", "--test", "--filter", file.path()},
        {"--no-plugin", "--test", "--tap=yes", file.path()},
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
