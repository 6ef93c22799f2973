// The global variables, the Get/Set selectors and the numeric sort as a FileMaker developer meets them: calculations
// evaluated by fmhost with the sandbox plug-in loaded.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
struct cLine
{
    int error = -1;
    std::string type, value;
};

std::string shellQuoted(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The string value of a field of one fmhost --json line (the fields are flat; escapes as fmhost writes them).
std::string jsonField(const std::string &line, const std::string &field)
{
    const std::string start = "\"" + field + "\":";
    std::size_t p = line.find(start);
    if (p == std::string::npos)
        return std::string();
    p += start.size();
    if (line[p] != '"')
        return line.substr(p, line.find_first_of(",}", p) - p);
    std::string value;
    for (++p; p < line.size() && line[p] != '"'; ++p)
    {
        if (line[p] != '\\')
        {
            value += line[p];
            continue;
        }
        const char c = line[++p];
        switch (c)
        {
        case 'r': value += '\r'; break;
        case 'n': value += '\n'; break;
        case 't': value += '\t'; break;
        case 'b': value += '\b'; break;
        case 'f': value += '\f'; break;
        case 'u': value += static_cast<char>(std::stoi(line.substr(p + 1, 4), nullptr, 16)); p += 4; break;
        default: value += c; break;
        }
    }
    return value;
}

// Evaluates the calculations in one fmhost session with the given hosted files (the first is the calling file).
std::vector<cLine> run(const std::vector<std::string> &files, const std::vector<std::string> &calculations)
{
    std::string command = shellQuoted(FMHOST_PATH) + " --plugin " + shellQuoted(SANDBOX_PLUGIN_PATH) + " --json";
    for (const std::string &file : files)
        command += " --file " + shellQuoted(file);
    for (const std::string &calculation : calculations)
        command += " -e " + shellQuoted(calculation);
    command += " 2>/dev/null";
    std::vector<cLine> lines;
    FILE *out = popen(command.c_str(), "r");
    if (!out)
        return lines;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, out)) > 0;)
        text.append(buffer, n);
    pclose(out);
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
    {
        cLine parsed;
        parsed.error = std::stoi(jsonField(line, "error"));
        parsed.type = jsonField(line, "type");
        parsed.value = jsonField(line, "value");
        lines.push_back(parsed);
    }
    return lines;
}

// fmhost's plug-in reads the sandbox allow-list; these tests let everything run in their files and put the
// original back afterwards.
class GlobalsEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::ifstream in(SANDBOX_ALLOWLIST_PATH, std::ios::binary);
        std::ostringstream saved;
        saved << in.rdbuf();
        original = saved.str();
        std::ofstream(SANDBOX_ALLOWLIST_PATH, std::ios::binary | std::ios::trunc) << "A\tany\nB\tany\nC\tany\n";
    }
    void TearDown() override { std::ofstream(SANDBOX_ALLOWLIST_PATH, std::ios::binary | std::ios::trunc) << original; }

    std::string original;
};

#define EXPECT_LINE(lines, index, expectedType, expectedValue)                                                      \
    do                                                                                                              \
    {                                                                                                               \
        ASSERT_GT((lines).size(), static_cast<std::size_t>(index));                                                 \
        EXPECT_EQ(0, (lines)[index].error) << "calculation " << (index);                                            \
        EXPECT_EQ(expectedType, (lines)[index].type) << "calculation " << (index);                                  \
        EXPECT_EQ(expectedValue, (lines)[index].value) << "calculation " << (index);                                \
    } while (0)
}

TEST_F(GlobalsEndToEnd, StoredValuesComeBackWithTheirType)
{
    const auto lines = run({"A"}, {
        "Vantrel_SetGlobal ( \"n\" ; 12.5 )",
        "Vantrel_GetGlobal ( \"n\" )",
        "Vantrel_SetGlobal ( \"d\" ; Date ( 12 ; 31 ; 2026 ) )",
        "Vantrel_GetGlobal ( \"d\" )",
        "Vantrel_SetGlobal ( \"ts\" ; Timestamp ( Date ( 12 ; 31 ; 2026 ) ; Time ( 13 ; 5 ; 9 ) ) )",
        "Vantrel_GetGlobal ( \"ts\" )",
        "Vantrel_SetGlobal ( \"t\" ; \"twelve\" )",
        "Vantrel_GetGlobal ( \"t\" ) & \"!\"",
        "Vantrel_GetGlobal ( \"n\" ) * 2",
        "Vantrel_GetGlobal ( \"never stored\" )",
    });
    ASSERT_EQ(10u, lines.size());
    EXPECT_LINE(lines, 0, "Number", "12.5");
    EXPECT_LINE(lines, 1, "Number", "12.5");
    EXPECT_LINE(lines, 2, "Date", lines[3].value);
    EXPECT_LINE(lines, 3, "Date", lines[2].value);
    EXPECT_EQ("12/31/2026", lines[3].value);
    EXPECT_LINE(lines, 5, "Timestamp", lines[4].value);
    EXPECT_EQ("Timestamp", lines[4].type);
    EXPECT_LINE(lines, 6, "Text", "twelve");
    EXPECT_LINE(lines, 7, "Text", "twelve!");
    EXPECT_LINE(lines, 8, "Number", "25");
    EXPECT_EQ(0, lines[9].error);
    EXPECT_EQ("", lines[9].value);
}

TEST_F(GlobalsEndToEnd, StyledTextKeepsItsStyles)
{
    const auto lines = run({"A"}, {
        "TextStyleAdd ( \"x\" ; Bold )",
        "Let ( $styled = TextColor ( TextStyleAdd ( \"bold\" ; Bold ) ; RGB ( 255 ; 0 ; 0 ) ) & \" plain\" ;"
        " Vantrel_SetGlobal ( \"styled\" ; $styled ) )",
        "GetAsCSS ( Vantrel_GetGlobal ( \"styled\" ) ) = GetAsCSS ( $styled )",
        "GetAsCSS ( Vantrel_GetGlobal ( \"styled\" ) ) = GetAsCSS ( \"bold plain\" )",
    });
    ASSERT_EQ(4u, lines.size());
    if (lines[0].error != 0)
        GTEST_SKIP() << "the host emulator has no styled-text functions yet";
    EXPECT_LINE(lines, 1, "Text", "bold plain");
    EXPECT_LINE(lines, 2, "Number", "1");
    EXPECT_LINE(lines, 3, "Number", "0");
}

TEST_F(GlobalsEndToEnd, EmptyKeyEmptiesAllAndEmptyTextRemovesOne)
{
    const auto lines = run({"A"}, {
        "Vantrel_SetGlobal ( \"a\" ; 1 ) & Vantrel_SetGlobal ( \"b\" ; 2 ) & Vantrel_SetGlobal ( \"c\" ; 3 )",
        "Vantrel_SetGlobal ( \"a\" ; \"\" )",
        "List ( Vantrel_GetGlobal ( \"a\" ) ; Vantrel_GetGlobal ( \"b\" ) ; Vantrel_GetGlobal ( \"c\" ) )",
        "Vantrel_SetGlobal ( \"b\" ; 0 )",
        "Vantrel_SetGlobal ( \"\" ; \"anything\" )",
        "List ( Vantrel_GetGlobal ( \"b\" ) ; Vantrel_GetGlobal ( \"c\" ) ) & \"|\"",
    });
    ASSERT_EQ(6u, lines.size());
    EXPECT_LINE(lines, 0, "Text", "123");
    EXPECT_EQ("", lines[1].value);
    EXPECT_LINE(lines, 2, "Text", "2\r3");
    EXPECT_LINE(lines, 3, "Number", "0"); // a number 0 is stored, not a removal
    EXPECT_EQ("", lines[4].value);
    EXPECT_LINE(lines, 5, "Text", "|");
}

TEST_F(GlobalsEndToEnd, OptionIsDieOnCloseInAnyCaseAndNothingElse)
{
    const auto lines = run({"A"}, {
        "Vantrel_SetGlobal ( \"k\" ; 1 ; \"DIEONCLOSE\" )",
        "Vantrel_SetGlobal ( \"k2\" ; 2 ; \" dieonclose\" )",
        "Vantrel_Get ( \"lastErrorMessage\" )",
        "Vantrel_Get ( \"lastError\" )",
        "IsEmpty ( Vantrel_GetGlobal ( \"k2\" ) )",
        "Vantrel_SetGlobal ( \"k\" )",
        "Vantrel_Get ( \"lastErrorMessage\" )",
        "Vantrel_GetGlobal",
        "Vantrel_Get ( \"lastErrorMessage\" )",
    });
    ASSERT_EQ(9u, lines.size());
    EXPECT_LINE(lines, 0, "Number", "1");
    EXPECT_LINE(lines, 1, "Number", "-50");
    EXPECT_LINE(lines, 2, "Text", "Unknown value of parameter moreOptions");
    EXPECT_LINE(lines, 3, "Number", "-50");
    EXPECT_LINE(lines, 4, "Number", "1");
    EXPECT_LINE(lines, 5, "Number", "-50");
    EXPECT_LINE(lines, 6, "Text", "Key and value must be specified");
    EXPECT_LINE(lines, 7, "Number", "-50");
    EXPECT_LINE(lines, 8, "Text", "Key must be specified");
}

TEST_F(GlobalsEndToEnd, BoundKeysFollowTheFirstFileAndGoWhenItCloses)
{
    const auto lines = run({"A", "B", "C"}, {
        "Vantrel_SetGlobal ( \"fromA\" ; \"a\" ; \"dieonclose\" )",
        "EmulatorSetCallingFile ( \"B\" )",
        "Vantrel_SetGlobal ( \"fromA\" ; \"a again\" ; \"dieonclose\" )", // stays bound to A
        "Vantrel_SetGlobal ( \"fromB\" ; \"b\" ; \"dieonclose\" )",
        "Vantrel_SetGlobal ( \"plain\" ; \"p\" )",
        "Vantrel_Set ( \"globalDieInterval\" ; 0 )",
        "EmulatorSetCallingFile ( \"C\" )",
        "EmulatorCloseFile ( \"B\" )",
        "List ( Vantrel_GetGlobal ( \"fromA\" ) ; Vantrel_GetGlobal ( \"fromB\" ) ; Vantrel_GetGlobal ( \"plain\" ) )",
        "EmulatorCloseFile ( \"A\" )",
        "List ( Vantrel_GetGlobal ( \"fromA\" ) ; Vantrel_GetGlobal ( \"fromB\" ) ; Vantrel_GetGlobal ( \"plain\" ) )",
    });
    ASSERT_EQ(11u, lines.size());
    if (lines[1].error != 0)
        GTEST_SKIP() << "the host emulator cannot switch or close files from a calculation";
    EXPECT_LINE(lines, 5, "Number", "0");
    EXPECT_LINE(lines, 8, "Text", "a again\rp");
    EXPECT_LINE(lines, 10, "Text", "p");
}

TEST_F(GlobalsEndToEnd, DieIntervalIsSetAndKeysStayUntilItPasses)
{
    const auto lines = run({"A", "B"}, {
        "Vantrel_Set ( \"globalDieInterval\" ; 120 )",
        "EmulatorSetCallingFile ( \"B\" )",
        "Vantrel_SetGlobal ( \"fromB\" ; \"b\" ; \"dieonclose\" )",
        "EmulatorSetCallingFile ( \"A\" )",
        "EmulatorCloseFile ( \"B\" )",
        "Vantrel_GetGlobal ( \"fromB\" )",
    });
    ASSERT_EQ(6u, lines.size());
    EXPECT_LINE(lines, 0, "Number", "120");
    if (lines[1].error != 0)
        GTEST_SKIP() << "the host emulator cannot switch or close files from a calculation";
    EXPECT_LINE(lines, 5, "Text", "b"); // 120 seconds have not passed
}

TEST_F(GlobalsEndToEnd, SortAndLastErrorSelectors)
{
    const auto lines = run({"A"}, {
        "Vantrel_Get ( \"lastErrorMessage\" )",
        "Vantrel_Get ( \"sort\" ; \"10¶9¶100\" )",
        "Vantrel_Get ( \"sort\" ; \"1234567\" )",
        "Vantrel_Get ( \"sort\" ; \"3¶1¶2¶\" )",
        "Vantrel_Get ( \"sort\" ; \"12 kg¶apples¶-2.5¶\" )",
        "Vantrel_Get ( \"nope\" )",
        "Vantrel_Get ( \"lastErrorMessage\" )",
        "Vantrel_Get ( \"LASTERROR\" )",
        "Vantrel_Get ( \"timestamp\" ) > Timestamp ( Date ( 1 ; 1 ; 2024 ) ; 0 )",
        "Vantrel_Set ( \"nope\" ; 1 )",
        "Vantrel_Get ( \"inlineDocumentation\" )",
    });
    ASSERT_EQ(11u, lines.size());
    EXPECT_LINE(lines, 0, "Text", "No Error Message");
    EXPECT_LINE(lines, 1, "Text", "9\r10\r100\r");
    EXPECT_LINE(lines, 2, "Text", "1.23457e+06\r");
    EXPECT_LINE(lines, 3, "Text", "1\r2\r3\r"); // no phantom number after the final carriage return
    EXPECT_LINE(lines, 4, "Text", "-2.5\r12\r");
    EXPECT_LINE(lines, 5, "Number", "-50");
    EXPECT_LINE(lines, 6, "Text", "Unrecognized selector");
    EXPECT_LINE(lines, 7, "Number", "-50");
    EXPECT_LINE(lines, 8, "Number", "1");
    EXPECT_LINE(lines, 9, "Number", "-50");
    EXPECT_LINE(lines, 10, "Text", "on");
}
