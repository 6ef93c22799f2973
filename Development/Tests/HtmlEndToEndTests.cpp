// Vantrel_GetAsHTML through fmhost and the sandbox plug-in, with the emulator's styled-text functions.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
struct HostRun
{
    int status = -1;
    std::vector<std::string> values;   // each calculation's result, exact (carriage returns included)
};

std::string quoted(const std::string &argument)
{
    std::string q = "'";
    for (char c : argument)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The "value" field of one line of fmhost's JSON output.
std::string jsonValue(const std::string &line)
{
    const std::string key = ",\"value\":\"";
    std::string::size_type at = line.rfind(key);
    std::string value;
    if (at == std::string::npos)
        return value;
    for (at += key.size(); at < line.size() && line[at] != '"'; ++at)
    {
        if (line[at] != '\\')
        {
            value += line[at];
            continue;
        }
        const char escaped = line[++at];
        switch (escaped)
        {
        case 'r': value += '\r'; break;
        case 'n': value += '\n'; break;
        case 't': value += '\t'; break;
        case 'u': value += static_cast<char>(std::stoi(line.substr(at + 1, 4), nullptr, 16)); at += 4; break;
        default: value += escaped;
        }
    }
    return value;
}

// Runs fmhost on the sandbox plug-in with the calling file Demo and the given calculations.
HostRun fmhost(const std::vector<std::string> &calculations)
{
    std::string command = std::string(FMHOST_PATH) + " --plugin " + SANDBOX_PLUGIN_PATH + " --file Demo --json";
    for (const std::string &calculation : calculations)
        command += " -e " + quoted(calculation);
    HostRun run;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    for (std::string::size_type from = 0, end; (end = out.find('\n', from)) != std::string::npos; from = end + 1)
        run.values.push_back(jsonValue(out.substr(from, end - from)));
    return run;
}

std::string html(const std::string &calculation)
{
    HostRun run = fmhost({calculation});
    EXPECT_EQ(0, run.status);
    return run.values.size() == 1 ? run.values[0] : "(no single result)";
}

// The sandbox allow-list lets Demo run the function; whatever it said before is put back afterwards.
class HtmlEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(std::filesystem::path(SANDBOX_ALLOWLIST_PATH).parent_path());
        std::ifstream old(SANDBOX_ALLOWLIST_PATH);
        saved_.assign(std::istreambuf_iterator<char>(old), std::istreambuf_iterator<char>());
        std::ofstream(SANDBOX_ALLOWLIST_PATH) << "Demo\tVantrel_GetAsHTML\n";
    }
    void TearDown() override { std::ofstream(SANDBOX_ALLOWLIST_PATH) << saved_; }

private:
    std::string saved_;
};
} // namespace

TEST_F(HtmlEndToEnd, FormattingBecomesElementsAndClasses)
{
    EXPECT_EQ("<b>x</b>", html("Vantrel_GetAsHTML ( TextStyleAdd ( \"x\" ; Bold ) )"));
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { color:#ff0000; }\r</style>\r<span class=\"vtl\">x</span>",
              html("Vantrel_GetAsHTML ( TextColor ( \"x\" ; RGB ( 255 ; 0 ; 0 ) ) )"));
    EXPECT_EQ("a&lt;b", html("Vantrel_GetAsHTML ( \"a<b\" )"));
    EXPECT_EQ("<p>one</p>\r<p>two</p>\r", html("Vantrel_GetAsHTML ( \"one¶two\" )"));
}

TEST_F(HtmlEndToEnd, FontsSizesAndOptions)
{
    EXPECT_EQ("<style type=\"text/css\">\r.c { color:#0000ff; }\r</style>\r"
              "<span class=\"c\" style=\"font-family:Courier New;font-size:14px;\">x</span>",
              html("Vantrel_GetAsHTML ( TextFont ( TextSize ( TextColor ( \"x\" ; RGB ( 0 ; 0 ; 255 ) ) ; 14 ) ; "
                   "\"Courier New\" ) ; \"all\" ; \"color=c\" ; \"all\" )"));
    EXPECT_EQ("<strong>x</strong>",
              html("Vantrel_GetAsHTML ( TextStyleAdd ( \"x\" ; Bold + Italic ) ; \"bold+italic=strong¶all\" )"));
}

TEST_F(HtmlEndToEnd, VariableModeReadsAlignmentAndLineSeparators)
{
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { text-align:center; }\r</style>\r<p class=\"vtl\">Hi</p>\r",
              html("Let ( $line = EmulatorTextAlign ( \"Hi\" ; \"center\" ) ; Vantrel_GetAsHTML ( \"$line\" ) )"));
    EXPECT_EQ("Hi", html("Let ( $line = EmulatorTextAlign ( \"Hi\" ; \"left\" ) ; Vantrel_GetAsHTML ( \"$line\" ) )"));
    // Two centred lines joined by a line separator: one paragraph with a break.
    EXPECT_EQ("<p>a<br/>\rb</p>\r",
              html("Let ( $t = EmulatorTextAlign ( \"a\" & Char ( 8232 ) & \"b\" ; \"center\" ) ; "
                   "Vantrel_GetAsHTML ( \"$t\" ; \"all\" ; \"\" ; \"\" ) )"));
    // A centred line and a right-aligned one: two paragraphs, the separator is not written.
    EXPECT_EQ("<p style=\"text-align:center;\">a</p>\r<p style=\"text-align:right;\">b</p>\r",
              html("Let ( $t = EmulatorTextAlign ( \"a\" ; \"center\" ) & Char ( 8232 ) & "
                   "EmulatorTextAlign ( \"b\" ; \"right\" ) ; Vantrel_GetAsHTML ( \"$t\" ; \"\" ; \"\" ; \"all\" ) )"));
    // A break before the first character of a paragraph has nothing to join and is dropped.
    EXPECT_EQ("<p>b</p>\r", html("Let ( $t = Char ( 8232 ) & \"b\" ; Vantrel_GetAsHTML ( \"$t\" ) )"));
    // Styles survive the variable and GetValue.
    EXPECT_EQ("<p><b>a</b></p>\r<p>b</p>\r",
              html("Let ( $t = TextStyleAdd ( \"a\" ; Bold ) & \"¶b\" ; Vantrel_GetAsHTML ( \"$t\" ) )"));
}

TEST_F(HtmlEndToEnd, FontNamesAndOptionsCannotAddMarkup)
{
    EXPECT_EQ("<span style=\"font-family:'Arial\\000022\\000020onmouseover\\00003d\\000022alert\\0000281\\000029';\">hello"
              "</span>",
              html("Vantrel_GetAsHTML ( TextFont ( \"hello\" ; \"Arial\\\" onmouseover=\\\"alert(1)\" ) ; \"\" ; \"\" ; "
                   "\"all\" )"));
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { font-family:'x\\00003b\\00007d\\00003c\\00002fstyle\\00003e\\00003cscript"
              "\\00003ealert\\0000281\\000029\\00003c\\00002fscript\\00003e\\00003cstyle\\00003e'; }\r</style>\r"
              "<span class=\"vtl\">hi</span>",
              html("Vantrel_GetAsHTML ( TextFont ( \"hi\" ; \"x;}</style><script>alert(1)</script><style>\" ) )"));
    EXPECT_EQ("<span style=\"font-weight:bold;\">x</span>",
              html("Vantrel_GetAsHTML ( TextStyleAdd ( \"x\" ; Bold ) ; \"bold=b onclick=x\" ; \"\" ; \"all\" )"));
    // A justified line keeps its alignment.
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { text-align:justify; }\r</style>\r<p class=\"vtl\">x</p>\r",
              html("Let ( $j = EmulatorTextAlign ( \"x\" ; \"justify\" ) ; Vantrel_GetAsHTML ( \"$j\" ) )"));
}

TEST_F(HtmlEndToEnd, ErrorsAreResultsNotCrashes)
{
    HostRun run = fmhost({"Vantrel_GetAsHTML", "$$Vantrel_LastErrorMessage"});
    EXPECT_EQ((std::vector<std::string>{"-50", "Input parameter is missing"}), run.values);
    // A source that merely starts with "$" is text, never a calculation.
    EXPECT_EQ("$x ) or Let ( $$hit = 1 ; 1 ) or ( 1\r|",
              html("Vantrel_GetAsHTML ( \"$x ) or Let ( $$hit = 1 ; 1 ) or ( 1\" ) & \"¶|\" & $$hit"));
}
