// The emulator's styled-text functions, seen through their CSS export.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "FMHost/Host.h"
#include "html/VariableMode.h"
#include "support/CalcSession.h"

namespace
{
using StyledText = fmhosttest::cCalcSessionTest;

// The values of the STYLE attributes of an export, in order, as an HTML reader sees them: each runs from the
// quotation mark after "STYLE= " to the next one.
std::vector<std::string> styleAttributes(const std::string &css)
{
    std::vector<std::string> values;
    const std::string opening = "STYLE= \"";
    for (std::size_t at = css.find(opening); at != std::string::npos; at = css.find(opening, at))
    {
        at += opening.size();
        const std::size_t end = css.find('"', at);
        values.push_back(css.substr(at, end - at));
        at = end;
    }
    return values;
}

// The text of a quoted CSS string (without its quotes) with its escapes read back: a backslash and up to six hex
// digits, one white-space character after them dropped, or a backslash and any other character. ASCII only.
std::string cssUnescaped(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\\' || i + 1 == text.size())
        {
            out += text[i];
            continue;
        }
        std::size_t digits = 0;
        while (digits < 6 && i + 1 + digits < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1 + digits])))
            ++digits;
        if (digits == 0)
        {
            out += text[++i];
            continue;
        }
        out += static_cast<char>(std::strtoul(text.substr(i + 1, digits).c_str(), nullptr, 16));
        i += digits;
        if (i + 1 < text.size() && text[i + 1] == ' ')
            ++i;
    }
    return out;
}

// The font name as an export quotes it: nothing that ends the string, its quotes or a declaration, and the name
// itself once the escapes are read back.
void expectQuotedName(const std::string &name, const std::string &quoted, const std::string &exported)
{
    EXPECT_EQ(std::string::npos, quoted.find_first_of("'\"<>&;")) << exported;
    EXPECT_EQ(name, cssUnescaped(quoted)) << exported;
}
} // namespace

TEST_F(StyledText, StylesCombineAndPlainClearsThem)
{
    EXPECT_EQ("<SPAN STYLE= \"font-weight: bold; font-style: italic;\" >a&lt;b</SPAN>",
              value("GetAsCSS ( TextStyleAdd ( \"a<b\" ; Bold + italic ) )"));
    EXPECT_EQ("x", value("GetAsCSS ( TextStyleAdd ( TextStyleAdd ( \"x\" ; Bold ) ; Plain ) )"));
    // Plain beside other styles is ignored, as FileMaker's help states
    EXPECT_EQ("<SPAN STYLE= \"font-weight: bold; font-style: italic;\" >x</SPAN>",
              value("GetAsCSS ( TextStyleAdd ( TextStyleAdd ( \"x\" ; Bold ) ; Plain + Italic ) )"));
    EXPECT_EQ("<SPAN STYLE= \"text-transform: capitalize;\" >x</SPAN>",
              value("GetAsCSS ( TextStyleAdd ( \"x\" ; Titlecase ) )"));
    EXPECT_EQ(102, error("TextStyleAdd ( \"x\" ; Boldest )"));
    EXPECT_EQ(102, error("TextStyleAdd ( \"x\" ; Bold - Italic )"));
}

TEST_F(StyledText, StyleNamesAreValuesALetCanHold)
{
    EXPECT_EQ("256", value("Bold"));
    EXPECT_EQ(value("GetAsCSS ( TextStyleAdd ( \"x\" ; SmallCaps + Italic ) )"),
              value("Let ( s = SmallCaps + Italic ; GetAsCSS ( TextStyleAdd ( \"x\" ; s ) ) )"));
    EXPECT_EQ("x", value("Let ( s = Plain ; GetAsCSS ( TextStyleAdd ( TextStyleAdd ( \"x\" ; Bold ) ; s ) ) )"));
    EXPECT_EQ("<SPAN STYLE= \"font-style: italic;\" >x</SPAN>",
              value("GetAsCSS ( TextStyleRemove ( TextStyleAdd ( \"x\" ; AllStyles ) ; AllStyles - Italic ) )"));
    EXPECT_EQ(102, error("TextStyleAdd ( \"x\" ; 65536 )"));
    EXPECT_EQ(102, error("TextStyleAdd ( \"x\" ; \"Bold\" )"));  // a text is no style
    // Extend is no value (the name is FileMaker's function Extend), but TextStyleAdd still reads the style
    EXPECT_EQ(102, error("Extend"));
    EXPECT_EQ(0, error("TextStyleAdd ( \"x\" ; Extend + Bold )"));
}

TEST_F(StyledText, ColoursFontsAndSizes)
{
    EXPECT_EQ("16711696", value("RGB ( 255 ; 0 ; 16 )"));
    EXPECT_EQ("16777215", value("RGB ( 300 ; 256 ; 999 )"));
    EXPECT_EQ("0", value("RGB ( -5 ; 0 ; 0 )"));
    EXPECT_EQ("<SPAN STYLE= \"font-family: 'Courier New'; font-size: 14px; color: #FF0010;\" >x</SPAN>",
              value("GetAsCSS ( TextSize ( TextFont ( TextColor ( \"x\" ; RGB ( 255 ; 0 ; 16 ) ) ; \"Courier New\" ) ; 14 ) )"));
    EXPECT_EQ("x", value("GetAsCSS ( TextSize ( TextSize ( \"x\" ; 14 ) ; 0 ) )"));
    EXPECT_EQ("x", value("GetAsCSS ( TextFont ( TextFont ( \"x\" ; \"Arial\" ) ; \"\" ) )"));
}

TEST_F(StyledText, AlignmentIsInTheFirstStartTag)
{
    EXPECT_EQ("<SPAN STYLE= \"text-align: center;\" ><SPAN STYLE= \"font-weight: bold;\" >a</SPAN>b</SPAN>",
              value("GetAsCSS ( EmulatorTextAlign ( TextStyleAdd ( \"a\" ; Bold ) & \"b\" ; \"Center\" ) )"));
    EXPECT_EQ("<SPAN STYLE= \"text-align: justify;\" >x</SPAN>", value("GetAsCSS ( EmulatorTextAlign ( \"x\" ; \"full\" ) )"));
    EXPECT_EQ("x", value("GetAsCSS ( EmulatorTextAlign ( EmulatorTextAlign ( \"x\" ; \"right\" ) ; \"\" ) )"));
    EXPECT_EQ(1200, error("EmulatorTextAlign ( \"x\" ; \"middle\" )"));
    // Each paragraph carries its own alignment.
    EXPECT_EQ("<SPAN STYLE= \"text-align: right;\" >a</SPAN><BR><SPAN STYLE= \"text-align: left;\" >b</SPAN>",
              value("GetAsCSS ( EmulatorTextAlign ( \"a\" ; \"right\" ) & \"¶\" & EmulatorTextAlign ( \"b\" ; \"left\" ) )"));
}

TEST_F(StyledText, VariablesAndGetValueKeepStylesAndAlignment)
{
    value("Let ( $v = EmulatorTextAlign ( TextStyleAdd ( \"x\" ; Italic ) ; \"right\" ) & \"¶\" & "
          "TextStyleAdd ( \"y\" ; Bold ) ; 1 )");
    EXPECT_EQ("<SPAN STYLE= \"text-align: right;\" ><SPAN STYLE= \"font-style: italic;\" >x</SPAN></SPAN>",
              value("GetAsCSS ( GetValue ( $v ; 1 ) )"));
    EXPECT_EQ("<SPAN STYLE= \"font-weight: bold;\" >y</SPAN>", value("GetAsCSS ( GetValue ( $v ; 2 ) )"));
}

// A font name is the user's text: whatever it holds, the export carries the same styles and alignment, and the
// font name read back from the CSS is the name given.
TEST_F(StyledText, HostileFontNamesChangeNoOtherStyleNorTheAlignment)
{
    const std::vector<std::string> names = {
        "A\"B",
        "x\" style=\"text-align: right",
        "Evil'; text-align: right; font-weight: normal; '",
        "<script>alert(1)</script>&amp;",
        "back\\slash\\",
        "semi;colon",
        "text-align: justify",
        "Courier New",
    };
    for (const std::string &name : names)
    {
        // The name as a calculation's text literal.
        std::string literal = "\"";
        for (char c : name)
            literal += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
        literal += '"';
        value("Let ( $font = " + literal + " ; 1 )");
        ASSERT_EQ(name, value("$font"));
        const std::string styled = "TextStyleAdd ( TextFont ( \"x\" ; $font ) ; Bold )";
        for (const char *alignment : {"center", ""})
        {
            const std::string css = value(std::string("GetAsCSS ( EmulatorTextAlign ( ") + styled + " ; \"" +
                                          alignment + "\" ) )");
            const std::vector<std::string> styles = styleAttributes(css);
            ASSERT_EQ(*alignment ? 2u : 1u, styles.size()) << css;
            const std::string fontStyle = styles.back();
            if (*alignment)
            {
                EXPECT_EQ("text-align: center;", styles.front()) << css;
            }
            // The plug-in's own reader of the export sees the alignment the text has, and no other.
            EXPECT_EQ(*alignment ? "center" : "left", vtl::html::parseAlignmentFromGetAsCSS(css)) << css;
            // Two declarations: the font, and the bold after it. Nothing of the name breaks out of its string.
            const std::string head = "font-family: '", tail = "'; font-weight: bold;";
            ASSERT_EQ(0u, fontStyle.find(head)) << css;
            ASSERT_GE(fontStyle.size(), head.size() + tail.size()) << css;
            EXPECT_EQ(tail, fontStyle.substr(fontStyle.size() - tail.size())) << css;
            expectQuotedName(name, fontStyle.substr(head.size(), fontStyle.size() - head.size() - tail.size()), css);
            EXPECT_NE(std::string::npos, css.find("\" >x</SPAN>")) << css;
        }
        // The SVG export quotes the same declarations: the name stays inside its string there too.
        const std::string svg = value("GetAsSVG ( " + styled + " )");
        const std::string svgHead = "<style#0>\"font-family: '",
                          svgTail = "';font-weight: bold;text-align: left;\", Begin: 1, End: 1</style>\r";
        const std::size_t from = svg.find(svgHead), to = svg.find(svgTail);
        ASSERT_TRUE(from != std::string::npos && to != std::string::npos) << svg;
        expectQuotedName(name, svg.substr(from + svgHead.size(), to - from - svgHead.size()), svg);
    }
    // Plain names stay readable.
    EXPECT_EQ("<SPAN STYLE= \"font-family: 'Courier New';\" >x</SPAN>", value("GetAsCSS ( TextFont ( \"x\" ; \"Courier New\" ) )"));
}
