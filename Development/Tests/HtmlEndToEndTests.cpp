// Vantrel_GetAsHTML through fmhost and the sandbox plug-in, with the emulator's styled-text functions.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace
{
struct Run
{
    int status = -1;
    std::string out;
};

std::string quoted(const std::string &argument)
{
    std::string q = "'";
    for (char c : argument)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs fmhost on the sandbox plug-in with the calling file Demo and the given calculations.
Run fmhost(const std::vector<std::string> &calculations)
{
    std::string command = std::string(FMHOST_PATH) + " --plugin " + SANDBOX_PLUGIN_PATH + " --file Demo";
    for (const std::string &calculation : calculations)
        command += " -e " + quoted(calculation);
    Run run;
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The plain output of one calculation: its result's text and a line feed.
std::string html(const std::string &calculation)
{
    Run run = fmhost({calculation});
    EXPECT_EQ(0, run.status) << run.out;
    return run.out;
}

class HtmlEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::ofstream(SANDBOX_ALLOWLIST_PATH) << "Demo\tVantrel_GetAsHTML\n";
    }
};
} // namespace

TEST_F(HtmlEndToEnd, FormattingBecomesElementsAndClasses)
{
    EXPECT_EQ("<b>x</b>\n", html("Vantrel_GetAsHTML ( TextStyleAdd ( \"x\" ; Bold ) )"));
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { color:#ff0000; }\r</style>\r<span class=\"vtl\">x</span>\n",
              html("Vantrel_GetAsHTML ( TextColor ( \"x\" ; RGB ( 255 ; 0 ; 0 ) ) )"));
    EXPECT_EQ("a&lt;b\n", html("Vantrel_GetAsHTML ( \"a<b\" )"));
    EXPECT_EQ("<p>one</p>\r<p>two</p>\r\n", html("Vantrel_GetAsHTML ( \"one¶two\" )"));
}

TEST_F(HtmlEndToEnd, FontsSizesAndOptions)
{
    EXPECT_EQ("<style type=\"text/css\">\r.c { color:#0000ff; }\r</style>\r"
              "<span class=\"c\" style=\"font-family:Courier New;font-size:14px;\">x</span>\n",
              html("Vantrel_GetAsHTML ( TextFont ( TextSize ( TextColor ( \"x\" ; RGB ( 0 ; 0 ; 255 ) ) ; 14 ) ; "
                   "\"Courier New\" ) ; \"all\" ; \"color=c\" ; \"all\" )"));
    EXPECT_EQ("<strong>x</strong>\n",
              html("Vantrel_GetAsHTML ( TextStyleAdd ( \"x\" ; Bold + Italic ) ; \"bold+italic=strong¶all\" )"));
}

TEST_F(HtmlEndToEnd, VariableModeReadsAlignmentAndLineSeparators)
{
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { text-align:center; }\r</style>\r<p class=\"vtl\">Hi</p>\r\n",
              html("Let ( $line = EmulatorTextAlign ( \"Hi\" ; \"center\" ) ; Vantrel_GetAsHTML ( \"$line\" ) )"));
    EXPECT_EQ("Hi\n", html("Let ( $line = EmulatorTextAlign ( \"Hi\" ; \"left\" ) ; Vantrel_GetAsHTML ( \"$line\" ) )"));
    // Two centred lines joined by a line separator: one paragraph with a break.
    EXPECT_EQ("<p>a<br/>\rb</p>\r\n",
              html("Let ( $t = EmulatorTextAlign ( \"a\" & Char ( 8232 ) & \"b\" ; \"center\" ) ; "
                   "Vantrel_GetAsHTML ( \"$t\" ; \"all\" ; \"\" ; \"\" ) )"));
    // A centred line and a right-aligned one: two paragraphs, the separator is not written.
    EXPECT_EQ("<p style=\"text-align:center;\">a</p>\r<p style=\"text-align:right;\">b</p>\r\n",
              html("Let ( $t = EmulatorTextAlign ( \"a\" ; \"center\" ) & Char ( 8232 ) & "
                   "EmulatorTextAlign ( \"b\" ; \"right\" ) ; Vantrel_GetAsHTML ( \"$t\" ; \"\" ; \"\" ; \"all\" ) )"));
    // Styles survive the variable and GetValue.
    EXPECT_EQ("<p><b>a</b></p>\r<p>b</p>\r\n",
              html("Let ( $t = TextStyleAdd ( \"a\" ; Bold ) & \"¶b\" ; Vantrel_GetAsHTML ( \"$t\" ) )"));
}

TEST_F(HtmlEndToEnd, ErrorsAreResultsNotCrashes)
{
    Run run = fmhost({"Vantrel_GetAsHTML", "$$Vantrel_LastErrorMessage"});
    EXPECT_EQ("-50\nInput parameter is missing\n", run.out);
    // A source that merely starts with "$" is text, never a calculation.
    EXPECT_EQ("$x ) or Let ( $$hit = 1 ; 1 ) or ( 1\r|\n",
              html("Vantrel_GetAsHTML ( \"$x ) or Let ( $$hit = 1 ; 1 ) or ( 1\" ) & \"¶|\" & $$hit"));
}
