// The pattern functions through fmhost and the sandbox plug-in, as a FileMaker calculation calls them.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct sAnswer {
    int error = -1;
    std::string type;
    std::string value;
};

// The string value of "field":"..." in one line of fmhost's JSON output.
std::string JsonString(const std::string& line, const std::string& field)
{
    const std::string key = "\"" + field + "\":\"";
    size_t i = line.find(key);
    if (i == std::string::npos) return "";
    std::string value;
    for (i += key.size(); i < line.size() && line[i] != '"'; ++i) {
        if (line[i] != '\\') {
            value += line[i];
            continue;
        }
        const char e = line[++i];
        if (e == 'u') {
            const unsigned code = std::stoul(line.substr(i + 1, 4), nullptr, 16);
            i += 4;
            if (code < 0x80) value += char(code);  // the tests compare ASCII only
        } else {
            value += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
        }
    }
    return value;
}

class RegExpEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ifstream old(SANDBOX_ALLOWLIST_PATH);
        std::stringstream content;
        content << old.rdbuf();
        savedAllowList_ = content.str();
        AllowOnly("any");
    }
    void TearDown() override { std::ofstream(SANDBOX_ALLOWLIST_PATH) << savedAllowList_; }

    static void AllowOnly(const std::string& names) { std::ofstream(SANDBOX_ALLOWLIST_PATH) << "Tests\t" << names << "\n"; }

    // Evaluates the calculations in one fmhost session; one answer per calculation.
    static std::vector<sAnswer> Run(const std::vector<std::string>& calculations)
    {
        const std::string script = std::string(VANTREL_BINARY_DIR) + "/regexp-end-to-end.fmcalc";
        {
            std::ofstream out(script);
            for (const std::string& c : calculations) out << c << "\n";
        }
        const std::string command = std::string("'") + FMHOST_PATH + "' --plugin '" + SANDBOX_PLUGIN_PATH +
                                    "' --file Tests --json '" + script + "' 2>/dev/null";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
        std::vector<sAnswer> answers;
        std::string line;
        for (int c; pipe && (c = std::fgetc(pipe.get())) != EOF;) {
            if (c != '\n') {
                line += char(c);
                continue;
            }
            sAnswer a;
            const size_t error = line.find("\"error\":");
            if (error != std::string::npos) a.error = std::atoi(line.c_str() + error + 8);
            a.type = JsonString(line, "type");
            a.value = JsonString(line, "value");
            answers.push_back(a);
            line.clear();
        }
        return answers;
    }

    static bool FmhostWorks() { return Run({"1"}).size() == 1; }

private:
    std::string savedAllowList_;
};

TEST_F(RegExpEndToEnd, PatternCount)
{
    if (!FmhostWorks()) GTEST_SKIP() << "fmhost cannot evaluate calculations";
    const std::string fortyX(40, 'x');
    const auto answers = Run({
        "Vantrel_RegExp_PatternCount ( \"aaa\" ; \"a\" )",
        "Vantrel_RegExp_PatternCount ( \"aaa\" ; \"aa\" )",
        "Vantrel_RegExp_PatternCount ( \"aaa\" ; \"^a\" )",
        "Vantrel_RegExp_PatternCount ( \"a\" ; \"A\" )",
        "Vantrel_RegExp_PatternCount ( 1221 ; \"1\" )",
        "Vantrel_RegExp_PatternCount ( \"aaa\" ; \"(\" )",
        "$$Vantrel_LastErrorMessage",
        "Vantrel_RegExp_PatternCount ( \"" + fortyX + "\" ; \"(x+x+)+y\" )",
        "Vantrel_RegExp_PatternCount ( \"" + fortyX + "zy\" ; \"(x+x+)+y\" )",
        "$$Vantrel_LastError",
    });
    ASSERT_EQ(answers.size(), 10u);
    const char* expected[] = {"3", "1", "1", "0", "2", "2400", "Invalid regular expression: /(/: Unterminated group",
                              "0", "2400", "2400"};
    for (size_t k = 0; k < answers.size(); ++k) {
        EXPECT_EQ(answers[k].error, 0) << k;
        EXPECT_EQ(answers[k].value, expected[k]) << k;
    }
    EXPECT_EQ(answers[0].type, "Number");
}

TEST_F(RegExpEndToEnd, Substitute)
{
    if (!FmhostWorks()) GTEST_SKIP() << "fmhost cannot evaluate calculations";
    const auto answers = Run({
        "Vantrel_RegExp_Substitute ( \"a1b22\" ; \"(\\\\d+)\" ; \"N\" )",
        "Vantrel_RegExp_Substitute ( \"ab-cd x-y\" ; \"(\\\\w+)-(\\\\w+)\" ; \"1\" ; \"2\" )",
        "Vantrel_RegExp_Substitute ( \"a1\" ; \"(\\\\d)\" ; \"$1\" )",
    });
    ASSERT_EQ(answers.size(), 3u);
    const char* expected[] = {"aNbN", "1-2 1-2", "a$1"};
    for (size_t k = 0; k < answers.size(); ++k) {
        EXPECT_EQ(answers[k].error, 0) << k;
        EXPECT_EQ(answers[k].type, "Text") << k;
        EXPECT_EQ(answers[k].value, expected[k]) << k;
    }
}

TEST_F(RegExpEndToEnd, StylesAndTheStyleFilter)
{
    if (!FmhostWorks() || Run({"TextStyleAdd ( \"a\" ; Bold )"}).at(0).error != 0)
        GTEST_SKIP() << "fmhost cannot style text";
    const auto answers = Run({
        "Vantrel_RegExp_Substitute ( TextStyleAdd ( \"a1\" ; Bold ) & \"b2\" ; TextStyleAdd ( \"(\" ; Bold ) & "
        "\"\\\\d)\" ; \"N\" )",
        "GetAsCSS ( Vantrel_RegExp_Substitute ( TextStyleAdd ( \"a\" ; Bold ) & \"1\" & TextStyleAdd ( \"b\" ; Italic ) "
        "& \"22\" ; \"(\\\\d+)\" ; \"N\" ) )",
    });
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].value, "aNb2");
    // a and b keep their styles around the plain replacements
    EXPECT_EQ(answers[1].value, "<SPAN STYLE= \"font-weight: bold;\" >a</SPAN>N"
                                "<SPAN STYLE= \"font-style: italic;\" >b</SPAN>N");
}

TEST_F(RegExpEndToEnd, EachFunctionNeedsItsAllowListEntry)
{
    if (!FmhostWorks()) GTEST_SKIP() << "fmhost cannot evaluate calculations";
    AllowOnly("Vantrel_RegExp_PatternCount");
    const auto answers = Run({
        "Vantrel_RegExp_PatternCount ( \"aaa\" ; \"a\" )",
        "Vantrel_RegExp_Substitute ( \"a1\" ; \"(\\\\d)\" ; \"N\" )",
        "$$Vantrel_LastError",
    });
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0].value, "3");
    EXPECT_EQ(answers[1].value, "?");
    EXPECT_EQ(answers[2].value, "24012");
}

}  // namespace
