// The global variables, the Get/Set selectors and the numeric sort as a FileMaker developer meets them: calculations
// evaluated by fmhost with the sandbox plug-in loaded.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
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
        std::filesystem::create_directories(std::filesystem::path(SANDBOX_ALLOWLIST_PATH).parent_path());
        std::ofstream(SANDBOX_ALLOWLIST_PATH, std::ios::binary | std::ios::trunc) << "A\tany\nB\tany\nC\tany\n";
    }
    void TearDown() override { std::ofstream(SANDBOX_ALLOWLIST_PATH, std::ios::binary | std::ios::trunc) << original; }

    std::string original;
};

// One calculation and what it must give: the type and the exact text form (kAny: not checked).
const char *const kAny = "\x01";
struct cStep
{
    std::string calc, type, value;
};

// Runs the steps in one fmhost session. A step whose type is kNeeds must evaluate for the rest to count: the
// test is skipped when the emulator lacks the function it uses.
const char *const kNeeds = "\x02";
void expectSteps(const std::vector<std::string> &files, const std::vector<cStep> &steps)
{
    std::vector<std::string> calculations;
    for (const cStep &step : steps)
        calculations.push_back(step.calc);
    const std::vector<cLine> lines = run(files, calculations);
    ASSERT_EQ(steps.size(), lines.size());
    for (std::size_t i = 0; i < steps.size(); ++i)
    {
        if (steps[i].type == kNeeds)
        {
            if (lines[i].error != 0)
                GTEST_SKIP() << "the host emulator cannot evaluate " << steps[i].calc;
            continue;
        }
        SCOPED_TRACE(steps[i].calc);
        EXPECT_EQ(0, lines[i].error);
        if (steps[i].type != kAny)
        {
            EXPECT_EQ(steps[i].type, lines[i].type);
        }
        if (steps[i].value != kAny)
        {
            EXPECT_EQ(steps[i].value, lines[i].value);
        }
    }
}
}

TEST_F(GlobalsEndToEnd, StoredValuesComeBackWithTheirType)
{
    expectSteps({"A"}, {
        {"Vantrel_SetGlobal ( \"n\" ; 12.5 )", "Number", "12.5"},
        {"Vantrel_GetGlobal ( \"n\" )", "Number", "12.5"},
        {"Vantrel_GetGlobal ( \"n\" ) * 2", "Number", "25"},
        {"Vantrel_SetGlobal ( \"d\" ; Date ( 12 ; 31 ; 2026 ) )", "Date", "12/31/2026"},
        {"Vantrel_GetGlobal ( \"d\" )", "Date", "12/31/2026"},
        {"Vantrel_GetGlobal ( \"d\" ) + 1", "Date", "1/1/2027"},
        {"Vantrel_SetGlobal ( \"ts\" ; Timestamp ( Date ( 12 ; 31 ; 2026 ) ; Time ( 13 ; 5 ; 9 ) ) )", "Timestamp", kAny},
        {"Vantrel_GetGlobal ( \"ts\" ) = Timestamp ( Date ( 12 ; 31 ; 2026 ) ; Time ( 13 ; 5 ; 9 ) )", "Number", "1"},
        {"Vantrel_GetGlobal ( \"ts\" )", "Timestamp", kAny},
        {"Vantrel_SetGlobal ( \"t\" ; \"twelve\" )", "Text", "twelve"},
        {"Vantrel_GetGlobal ( \"t\" ) & \"!\"", "Text", "twelve!"},
        {"Vantrel_GetGlobal ( \"never stored\" )", kAny, ""},
    });
}

TEST_F(GlobalsEndToEnd, StyledTextKeepsItsStyles)
{
    expectSteps({"A"}, {
        {"GetAsCSS ( TextStyleAdd ( \"x\" ; Bold ) )", kNeeds, ""},
        {"Let ( $styled = TextColor ( TextStyleAdd ( \"bold\" ; Bold ) ; RGB ( 255 ; 0 ; 0 ) ) & \" plain\" ;"
         " Vantrel_SetGlobal ( \"styled\" ; $styled ) )", "Text", "bold plain"},
        {"GetAsCSS ( Vantrel_GetGlobal ( \"styled\" ) ) = GetAsCSS ( $styled )", "Number", "1"},
        {"GetAsCSS ( Vantrel_GetGlobal ( \"styled\" ) ) = GetAsCSS ( \"bold plain\" )", "Number", "0"},
    });
}

TEST_F(GlobalsEndToEnd, EmptyKeyEmptiesAllAndEmptyTextRemovesOne)
{
    expectSteps({"A"}, {
        {"Vantrel_SetGlobal ( \"a\" ; 1 ) & Vantrel_SetGlobal ( \"b\" ; 2 ) & Vantrel_SetGlobal ( \"c\" ; 3 )", "Text", "123"},
        {"Vantrel_SetGlobal ( \"a\" ; \"\" )", kAny, ""},
        {"List ( Vantrel_GetGlobal ( \"a\" ) ; Vantrel_GetGlobal ( \"b\" ) ; Vantrel_GetGlobal ( \"c\" ) )", "Text", "2\r3"},
        {"Vantrel_SetGlobal ( \"b\" ; 0 )", "Number", "0"}, // a number 0 is stored, not a removal
        {"Vantrel_SetGlobal ( \"\" ; \"anything\" )", kAny, ""},
        {"List ( Vantrel_GetGlobal ( \"b\" ) ; Vantrel_GetGlobal ( \"c\" ) ) & \"|\"", "Text", "|"},
    });
}

TEST_F(GlobalsEndToEnd, OptionIsDieOnCloseInAnyCaseAndNothingElse)
{
    expectSteps({"A"}, {
        {"Vantrel_SetGlobal ( \"k\" ; 1 ; \"DIEONCLOSE\" )", "Number", "1"},
        {"Vantrel_SetGlobal ( \"k2\" ; 2 ; \" dieonclose\" )", "Number", "-50"},
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", "Unknown value of parameter moreOptions"},
        {"Vantrel_Get ( \"lastError\" )", "Number", "-50"},
        {"IsEmpty ( Vantrel_GetGlobal ( \"k2\" ) )", "Number", "1"},
        {"Vantrel_SetGlobal ( \"k\" )", "Number", "-50"},
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", "Key and value must be specified"},
        {"Vantrel_GetGlobal", "Number", "-50"},
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", "Key must be specified"},
    });
}

TEST_F(GlobalsEndToEnd, BoundKeysFollowTheFirstFileAndGoWhenItCloses)
{
    expectSteps({"A", "B", "C"}, {
        {"Vantrel_SetGlobal ( \"fromA\" ; \"a\" ; \"dieonclose\" )", "Text", "a"},
        {"EmulatorSetCallingFile ( \"B\" )", kNeeds, ""},
        {"Vantrel_SetGlobal ( \"fromA\" ; \"a again\" ; \"dieonclose\" )", "Text", "a again"}, // stays bound to A
        {"Vantrel_SetGlobal ( \"fromB\" ; \"b\" ; \"dieonclose\" )", "Text", "b"},
        {"Vantrel_SetGlobal ( \"plain\" ; \"p\" )", "Text", "p"},
        {"Vantrel_Set ( \"globalDieInterval\" ; 0 )", "Number", "0"},
        {"EmulatorSetCallingFile ( \"C\" )", kAny, kAny},
        {"EmulatorCloseFile ( \"B\" )", kAny, kAny},
        {"List ( Vantrel_GetGlobal ( \"fromA\" ) ; Vantrel_GetGlobal ( \"fromB\" ) ; Vantrel_GetGlobal ( \"plain\" ) )",
         "Text", "a again\rp"},
        {"EmulatorCloseFile ( \"A\" )", kAny, kAny},
        {"List ( Vantrel_GetGlobal ( \"fromA\" ) ; Vantrel_GetGlobal ( \"fromB\" ) ; Vantrel_GetGlobal ( \"plain\" ) )",
         "Text", "p"},
    });
}

TEST_F(GlobalsEndToEnd, DieIntervalIsSetAndKeysStayUntilItPasses)
{
    expectSteps({"A", "B"}, {
        {"Vantrel_Set ( \"globalDieInterval\" ; 120 )", "Number", "120"},
        {"EmulatorSetCallingFile ( \"B\" )", kNeeds, ""},
        {"Vantrel_SetGlobal ( \"fromB\" ; \"b\" ; \"dieonclose\" )", "Text", "b"},
        {"EmulatorCloseFile ( \"B\" )", kAny, kAny},
        {"Vantrel_GetGlobal ( \"fromB\" )", "Text", "b"}, // 120 seconds have not passed
    });
}

TEST_F(GlobalsEndToEnd, SortAndLastErrorSelectors)
{
    expectSteps({"A"}, {
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", "No Error Message"},
        {"Vantrel_Get ( \"sort\" ; \"10¶9¶100\" )", "Text", "9\r10\r100\r"},
        {"Vantrel_Get ( \"sort\" ; \"1234567\" )", "Text", "1.23457e+06\r"},
        {"Vantrel_Get ( \"sort\" ; \"3¶1¶2¶\" )", "Text", "1\r2\r3\r"}, // no phantom number after the final ¶
        {"Vantrel_Get ( \"sort\" ; \"12 kg¶apples¶-2.5¶\" )", "Text", "-2.5\r12\r"},
        {"Vantrel_Get ( \"nope\" )", "Number", "-50"},
        {"Vantrel_Get ( \"lastErrorMessage\" )", "Text", "Unrecognized selector"},
        {"Vantrel_Get ( \"LASTERROR\" )", "Number", "-50"},
        {"Vantrel_Get ( \"timestamp\" ) > Timestamp ( Date ( 1 ; 1 ; 2024 ) ; 0 )", "Number", "1"},
        {"Vantrel_Get ( \"timestamp\" )", "Timestamp", kAny},
        {"Vantrel_Set ( \"nope\" ; 1 )", "Number", "-50"},
        {"Vantrel_Get ( \"inlineDocumentation\" )", "Text", "on"},
    });
}
