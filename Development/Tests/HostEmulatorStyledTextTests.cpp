// The emulator's styled-text functions, seen through their CSS export.
#include <gtest/gtest.h>

#include <string>

#include "FMHost/Host.h"
#include "support/CalcSession.h"

namespace
{
using StyledText = fmhosttest::cCalcSessionTest;
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
