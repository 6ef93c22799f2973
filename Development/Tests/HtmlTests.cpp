// The styled-text-to-HTML converter, stage by stage, on host texts of the emulator.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "FMHost/Host.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXTextStyle.h"
#include "host/TextConversion.h"
#include "html/CssFormattings.h"
#include "html/FragmentExtraction.h"
#include "html/FragmentPostProcessing.h"
#include "html/GetAsHTML.h"
#include "html/HtmlConversion.h"
#include "html/HtmlOptions.h"
#include "html/HtmlProduction.h"
#include "html/SafeMarkup.h"
#include "html/VariableMode.h"
#include "support/AllocationCounter.h"

using namespace vtl::html;
using Face = fmx::CharacterStyle::Face;

namespace
{
fmx::TextUniquePtr text(const std::string &utf8)
{
    fmx::TextUniquePtr t;
    t->Assign(utf8.c_str(), fmx::Text::kEncoding_UTF8);
    return t;
}

fmx::TextUniquePtr units(const std::u16string &chars)
{
    fmx::TextUniquePtr t;
    t->AssignUnicodeWithLength(reinterpret_cast<const fmx::uint16 *>(chars.data()),
                               static_cast<fmx::uint32>(chars.size()));
    return t;
}

void setFace(fmx::Text &t, Face face, fmx::uint32 from = 0, fmx::uint32 size = fmx::Text::kSize_End)
{
    fmx::CharacterStyleUniquePtr style;
    style->SetFace(face);
    t.SetStyle(*style, from, size);
}

void setColor(fmx::Text &t, unsigned char r, unsigned char g, unsigned char b, fmx::uint32 from = 0,
              fmx::uint32 size = fmx::Text::kSize_End)
{
    fmx::CharacterStyleUniquePtr style;
    fmx::ColorUniquePtr color(r, g, b, 255);
    style->SetColor(*color);
    t.SetStyle(*style, from, size);
}

void setSize(fmx::Text &t, unsigned short points, fmx::uint32 from = 0, fmx::uint32 size = fmx::Text::kSize_End)
{
    fmx::CharacterStyleUniquePtr style;
    style->SetSize(points);
    t.SetStyle(*style, from, size);
}

// One style of a face, optionally red and of a size (0: none), over a range; it replaces what was there.
void setStyle(fmx::Text &t, Face face, bool red, unsigned short points, fmx::uint32 from = 0,
              fmx::uint32 size = fmx::Text::kSize_End)
{
    fmx::CharacterStyleUniquePtr style;
    style->SetFace(face);
    if (red)
        style->SetColor(*fmx::ColorUniquePtr(255, 0, 0, 255));
    if (points)
        style->SetSize(points);
    t.SetStyle(*style, from, size);
}

cFragment fragmentWith(Formattings formattings, const std::u16string &chars = u"x")
{
    cFragment f;
    f.formattings = std::move(formattings);
    f.characters.assign(chars.begin(), chars.end());
    f.length = chars.size();
    return f;
}

ParamVector defaultTags()
{
    ParamVector tags;
    addDefaultFormattingsForTag(tags);
    return tags;
}

const ParamVector kDefaultClasses = {{"all", "vtl"}};
const ParamVector kAllStyles = {{"all", "1"}};

class HtmlTest : public ::testing::Test
{
protected:
    FMHost::Session session;
    const fmx::ExprEnv &env() { return session.Env(); }

    std::string convert(const fmx::Text &source, const std::string &tags = "all", const std::string &classes = "all=vtl",
                        const std::string &styles = "all")
    {
        fmx::TextUniquePtr out;
        transformRichtextToHTMLWithEvaluate(source, *text(tags), *text(classes), *text(styles), env(), *out);
        return StringFromFmText(*out);
    }

    FragmentVector extract(const fmx::Text &source)
    {
        FragmentVector fragments;
        extractFragments(source, env(), fragments);
        return fragments;
    }

    std::string paragraphHtml(cFragment paragraph, FragmentVector fragments)
    {
        fmx::TextUniquePtr out;
        produceHTMLfromFragments(paragraph, fragments, *out);
        return StringFromFmText(*out);
    }
};
} // namespace

// ---- Cutting styled text into fragments ----

TEST_F(HtmlTest, ExtractionCutsWhereTheInlineCssChanges)
{
    EXPECT_TRUE(extract(*text("")).empty());

    FragmentVector one = extract(*text("x"));
    ASSERT_EQ(1u, one.size());
    EXPECT_EQ(0u, one[0].start);
    EXPECT_EQ(1u, one[0].length);
    EXPECT_EQ("x", one[0].text);

    fmx::TextUniquePtr abc = text("abc");
    setFace(*abc, fmx::CharacterStyle::kFace_Bold, 2, 1);
    FragmentVector two = extract(*abc);
    ASSERT_EQ(2u, two.size());
    EXPECT_EQ(0u, two[0].start);
    EXPECT_EQ(2u, two[0].length);
    EXPECT_EQ((std::vector<std::uint16_t>{'a', 'b'}), two[0].characters);
    EXPECT_EQ(2u, two[1].start);
    EXPECT_EQ(1u, two[1].length);
    EXPECT_EQ(Formattings({{"bold", ""}}), two[1].formattings);
    EXPECT_EQ("font-weight:bold;", two[1].getInlineCSS());
}

TEST_F(HtmlTest, ExtractionAppendsToTheCallersSequence)
{
    FragmentVector fragments(1);
    extractFragments(*text("ab"), env(), fragments);
    EXPECT_EQ(2u, fragments.size());
    extractFragments(*text(""), env(), fragments);
    EXPECT_EQ(2u, fragments.size());
}

TEST_F(HtmlTest, UnstyledCharactersJoinAndKeepNoFormatting)
{
    FragmentVector fragments = extract(*text("plain text"));
    ASSERT_EQ(1u, fragments.size());
    EXPECT_TRUE(fragments[0].formattings.empty());
    EXPECT_EQ("", fragments[0].getInlineCSS());
    EXPECT_EQ(10u, fragments[0].length);
}

TEST_F(HtmlTest, WordUnderlineMarksOnlyTheSpaces)
{
    fmx::TextUniquePtr t = text("a b");
    setFace(*t, fmx::CharacterStyle::kFace_WordUnderline);
    FragmentVector fragments = extract(*t);
    ASSERT_EQ(3u, fragments.size());
    EXPECT_TRUE(fragments[0].formattings.empty());
    EXPECT_EQ(Formattings({{"underline", ""}}), fragments[1].formattings);
    EXPECT_TRUE(fragments[2].formattings.empty());
}

TEST_F(HtmlTest, ConflictingFaceBitsResolveToOneFormatting)
{
    struct Case
    {
        Face face;
        Formattings expected;
    } cases[] = {
        {0x0010 | 0x0020, {{"titlecase", ""}}},
        {0x0010, {{"uppercase", ""}}},
        {0x0020, {{"lowercase", ""}}},
        {0x0004 | 0x0008, {{"superscript", ""}}},
        {0x0008, {{"subscript", ""}}},
        {0x0400 | 0x0080, {{"underline", ""}}},
        {0x0080, {{"doubleunderline", ""}}},
        {0x2000 | 0x4000, {{"condense", ""}}},
        {0x4000, {{"extend", ""}}},
        {0x1000 | 0x0001 | 0x0002, {{"highlight", ""}, {"strikethrough", ""}, {"smallcaps", ""}}},
        {0x0100 | 0x0200, {{"bold", ""}, {"italic", ""}}},
        {0x0800, {}},   // outline: not a formatting
    };
    for (const Case &c : cases)
    {
        fmx::TextUniquePtr t = text("x");
        setFace(*t, c.face);
        EXPECT_EQ(c.expected, formattingsFromFMCharacter(*t, 0, env())) << "face " << c.face;
    }
}

TEST_F(HtmlTest, ColourAndSizeBecomeValuedFormattings)
{
    fmx::TextUniquePtr t = text("xy");
    setColor(*t, 255, 0, 16, 0, 1);
    setSize(*t, 12, 1, 1);
    EXPECT_EQ(Formattings({{"color", "#ff0010"}}), formattingsFromFMCharacter(*t, 0, env()));
    EXPECT_EQ(Formattings({{"size", "12px"}}), formattingsFromFMCharacter(*t, 1, env()));
    cFragment f = formattedFragmentFromFMCharacter(*t, 0, env());
    EXPECT_TRUE(f.characters.empty());
    EXPECT_EQ("color:#ff0010;", f.getInlineCSS());
}

TEST_F(HtmlTest, AlternatingStylesGiveOneFragmentPerCharacter)
{
    fmx::TextUniquePtr t = text("abcdef");
    for (fmx::uint32 i = 0; i < 6; ++i)
        setSize(*t, i % 2 ? 14 : 12, i, 1);
    FragmentVector fragments = extract(*t);
    ASSERT_EQ(6u, fragments.size());
    EXPECT_EQ("font-size:14px;", fragments[5].getInlineCSS());
    EXPECT_EQ(5u, fragments[5].start);
}

// ---- CSS and classes ----

TEST(HtmlCss, FormattingsMapToCssInByteOrder)
{
    EXPECT_TRUE(CSSFromFormattings({}).empty());
    EXPECT_EQ("", serialize_CSS({}, ""));
    EXPECT_EQ("text-decoration:underline line-through;",
              serialize_CSS(CSSFromFormattings({{"underline", ""}, {"strikethrough", ""}}), ""));
    EXPECT_EQ("-webkit-text-decoration-style:double;text-decoration:underline line-through;"
              "text-decoration-style:double;",
              serialize_CSS(CSSFromFormattings({{"doubleunderline", ""}, {"strikethrough", ""}}), ""));
    EXPECT_EQ("text-decoration:line-through;", serialize_CSS(CSSFromFormattings({{"strikethrough", ""}}), ""));
    EXPECT_EQ("letter-spacing:2px;", serialize_CSS(CSSFromFormattings({{"condense", ""}, {"extend", ""}}), ""));
    EXPECT_EQ("-webkit-text-decoration-style:double;background-color:#FFFF00;text-decoration:underline;"
              "text-decoration-style:double;",
              serialize_CSS(CSSFromFormattings({{"highlight", ""}, {"doubleunderline", ""}}), ""));
    EXPECT_EQ("font-family:Helvetica Neue;font-size:12px;",
              serialize_CSS(CSSFromFormattings({{"size", "12px"}, {"font", "Helvetica Neue"}}), ""));
    EXPECT_EQ("text-transform:capitalize;", serialize_CSS(CSSFromFormattings({{"titlecase", ""}}), ""));
    EXPECT_TRUE(CSSFromFormattings({{"nonsense", "1"}}).empty());
    EXPECT_EQ("color:red;|font-weight:bold;|", serialize_CSS({{"font-weight", "bold"}, {"color", "red"}}, "|"));
}

TEST(HtmlCss, ClassesAreReusedByCssAndNamedInOrderOfNeed)
{
    cClassMap classes;
    EXPECT_EQ("vtl", get_or_create_class("color:#ff0000;", "vtl", classes));
    EXPECT_EQ("vtl1", get_or_create_class("font-weight:bold;", "vtl", classes));
    EXPECT_EQ("vtl", get_or_create_class("color:#ff0000;", "other", classes));
    EXPECT_EQ("vtl2", get_or_create_class("font-size:9px;", "vtl", classes));
    EXPECT_EQ("c", get_or_create_class("font-size:10px;", "c", classes));
    EXPECT_EQ(4u, classes.classes.size());
    // A base name that collides with a generated name skips to the next free one.
    EXPECT_EQ("vtl11", get_or_create_class("a:1;", "vtl1", classes));
    EXPECT_EQ("vtl3", get_or_create_class("a:2;", "vtl", classes));
}

TEST(HtmlCss, ManyClassesOfOneBaseGetDistinctNames)
{
    cClassMap classes;
    for (int i = 0; i < 2000; ++i)
        get_or_create_class("font-size:" + std::to_string(i) + "px;", "vtl", classes);
    EXPECT_EQ(2000u, classes.classes.size());
    EXPECT_EQ("font-size:1999px;", classes.classes.at("vtl1999"));
}

TEST_F(HtmlTest, StyleBlockListsClassesOrNothing)
{
    cClassMap classes;
    fmx::TextUniquePtr out;
    appendCssClasses(classes, "", *out);
    EXPECT_EQ(0u, out->GetSize());
    get_or_create_class("text-align:center;", "vtl", classes);
    get_or_create_class("color:#ff0000;", "vtl", classes);
    appendCssClasses(classes, "", *out);
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { text-align:center; }\r.vtl1 { color:#ff0000; }\r</style>\r",
              StringFromFmText(*out));
}

// ---- Options ----

TEST(HtmlOptions, ExplodeKeepsInnerEmptyPiecesButNoTrailingOne)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(V{}, explode("", '='));
    EXPECT_EQ(V{"bold"}, explode("bold=", '='));
    EXPECT_EQ((V{"", "div"}), explode("=div", '='));
    EXPECT_EQ((V{"a", "", "b"}), explode("a==b", '='));
    EXPECT_EQ((V{"a", "b", "c"}), explode("a=b=c", '='));
    EXPECT_EQ(V{""}, explode("=", '='));
}

TEST(HtmlOptions, ParamVectorLooksUpAndErasesTheFirstPairOnly)
{
    ParamVector p = {{"a", "1"}, {"b", "2"}, {"a", "3"}};
    EXPECT_TRUE(paramVectorHasKey(p, "b"));
    EXPECT_FALSE(paramVectorHasKey(p, "c"));
    EXPECT_EQ("1", paramVectorGetValue(p, "a"));
    EXPECT_EQ("", paramVectorGetValue(p, "c"));
    paramVectorEraseKey(p, "a");
    EXPECT_EQ((ParamVector{{"b", "2"}, {"a", "3"}}), p);
    paramVectorEraseKey(p, "c");
    EXPECT_EQ(2u, p.size());
}

TEST_F(HtmlTest, OptionLinesParseIntoPairs)
{
    EXPECT_TRUE(parseTagOrClassOrStyleParam(*text(""), true).empty());
    EXPECT_EQ((ParamVector{{"bold", "strong"}, {"", "div"}, {"all", "vtl"}, {"italic", "EM"}}),
              parseTagOrClassOrStyleParam(*text("BOLD=strong\r=div\rALL\rbold=\rnothing\ritalic=EM=x"), true));
    EXPECT_EQ((ParamVector{{"color", "1"}, {"all", "1"}}), parseTagOrClassOrStyleParam(*text("Color\rALL"), false));
    EXPECT_EQ((ParamVector{{"all", "c"}}), parseTagOrClassOrStyleParam(*text("all=c"), true));
}

TEST(HtmlOptions, DefaultElementsFillOnlyMissingKeys)
{
    ParamVector tags = {{"bold", "strong"}};
    addDefaultFormattingsForTag(tags);
    EXPECT_EQ((ParamVector{{"bold", "strong"},
                           {"italic", "i"},
                           {"underline", "u"},
                           {"strikethrough", "s"},
                           {"highlight", "mark"},
                           {"superscript", "sup"},
                           {"subscript", "sub"}}),
              tags);
}

// ---- Elements, classes and inline styles ----

TEST(HtmlPostProcessing, DefaultOptionsGiveElementsThenOneClass)
{
    FragmentVector f = {fragmentWith({{"bold", ""}, {"italic", ""}, {"color", "#ff0000"}, {"size", "9px"}}),
                        fragmentWith({})};
    cClassMap classes;
    fragmentsPostProcessing(f, classes, defaultTags(), kDefaultClasses, kAllStyles);
    EXPECT_EQ((std::vector<std::string>{"b", "i"}), f[0].tags);
    EXPECT_EQ(std::vector<std::string>{"vtl"}, f[0].cssClasses);
    EXPECT_EQ("color:#ff0000;font-size:9px;", classes.classes.at("vtl"));
    EXPECT_TRUE(f[0].cssStyles.empty());
    EXPECT_TRUE(f[0].formattings.empty());
    // Nothing to say: no element, no class, no style.
    EXPECT_TRUE(f[1].tags.empty() && f[1].cssClasses.empty() && f[1].cssStyles.empty());
}

TEST(HtmlPostProcessing, EarlierTagPairsWinAndEmptyPairsAreIgnored)
{
    ParamVector tags = {{"bold", ""}, {"", "div"}, {"bold+italic", "strong"}, {"bold", "b"}, {"italic", "i"}};
    FragmentVector f = {fragmentWith({{"bold", ""}, {"italic", ""}}), fragmentWith({{"bold", ""}})};
    cClassMap classes;
    fragmentsPostProcessing(f, classes, tags, {}, {});
    EXPECT_EQ(std::vector<std::string>{"strong"}, f[0].tags);
    EXPECT_EQ(std::vector<std::string>{"b"}, f[1].tags);
}

TEST(HtmlPostProcessing, WithoutAllLineThereAreNoDefaultElements)
{
    FragmentVector f = {fragmentWith({{"bold", ""}, {"italic", ""}})};
    cClassMap classes;
    fragmentsPostProcessing(f, classes, {{"bold", "strong"}}, kDefaultClasses, kAllStyles);
    EXPECT_EQ(std::vector<std::string>{"strong"}, f[0].tags);
    EXPECT_EQ("font-style:italic;", classes.classes.at("vtl"));
}

TEST(HtmlPostProcessing, ClassPairsConsumeInOrderAndStopAfterAll)
{
    FragmentVector f = {fragmentWith({{"bold", ""}, {"color", "#00ff00"}, {"size", "9px"}})};
    cClassMap classes;
    fragmentsPostProcessing(f, classes, {}, {{"", "x"}, {"bold", "b"}, {"all", ""}, {"size", "never"}}, kAllStyles);
    EXPECT_EQ((std::vector<std::string>{"b", "vtl"}), f[0].cssClasses);
    EXPECT_EQ("font-weight:bold;", classes.classes.at("b"));
    EXPECT_EQ("color:#00ff00;font-size:9px;", classes.classes.at("vtl"));
    EXPECT_FALSE(classes.classes.count("never"));
}

TEST(HtmlPostProcessing, ClassOptionColorWithStyleAllKeepsTheRestInline)
{
    FragmentVector f = {fragmentWith({{"color", "#ff0000"}, {"size", "9px"}, {"smallcaps", ""}})};
    cClassMap classes;
    fragmentsPostProcessing(f, classes, {}, {{"color", "c"}}, kAllStyles);
    EXPECT_EQ(std::vector<std::string>{"c"}, f[0].cssClasses);
    EXPECT_EQ("font-size:9px;font-variant:small-caps;", f[0].getInlineCSS());
}

TEST(HtmlPostProcessing, StyleOptionKeepsOnlyListedFormattings)
{
    FragmentVector f = {fragmentWith({{"color", "#ff0000"}, {"size", "9px"}})};
    cClassMap classes;
    fragmentsPostProcessing(f, classes, {}, {}, {{"color", "1"}});
    EXPECT_EQ("color:#ff0000;", f[0].getInlineCSS());

    FragmentVector g = {fragmentWith({{"color", "#ff0000"}})};
    fragmentsPostProcessing(g, classes, {}, {}, {});
    EXPECT_EQ("", g[0].getInlineCSS());
    EXPECT_TRUE(classes.empty());
}

// ---- Merging ----

TEST(HtmlMerge, RunsOfEqualAppearanceFoldIntoTheirLastFragment)
{
    FragmentVector f = {fragmentWith({}, u"ab"), fragmentWith({}, u"c"), fragmentWith({}, u"de"),
                        fragmentWith({}, u"f")};
    for (std::size_t i = 0; i < 3; ++i)
        f[i].tags = {"b"};
    f[0].start = 0, f[1].start = 2, f[2].start = 3, f[3].start = 5;
    f[0].text = "ab", f[1].text = "c", f[2].text = "de";
    EXPECT_EQ(2u, mergeFragments(f));
    EXPECT_TRUE(f[0].characters.empty());
    EXPECT_EQ(0u, f[1].length);
    EXPECT_EQ((std::vector<std::uint16_t>{'a', 'b', 'c', 'd', 'e'}), f[2].characters);
    EXPECT_EQ(0u, f[2].start);
    EXPECT_EQ(5u, f[2].length);
    EXPECT_EQ("abcde", f[2].text);
    EXPECT_EQ(std::vector<std::uint16_t>{'f'}, f[3].characters);
    // Folded fragments keep their appearance.
    EXPECT_EQ(std::vector<std::string>{"b"}, f[0].tags);
}

TEST(HtmlMerge, AppearanceComparesTagsClassesAndStylesExactly)
{
    cFragment a = fragmentWith({}), b = fragmentWith({});
    a.cssClasses = {"x", "y"};
    b.cssClasses = {"y", "x"};
    FragmentVector f = {a, b};
    EXPECT_EQ(0u, mergeFragments(f));
    a.cssClasses = b.cssClasses;
    a.cssStyles = {{"color", "red"}};
    EXPECT_FALSE(fragmentsHaveEqualAppearance(a, b));
    b.cssStyles = {{"color", "red"}};
    a.formattings = {{"bold", ""}};   // formattings and positions play no part
    a.start = 7;
    EXPECT_TRUE(fragmentsHaveEqualAppearance(a, b));
    FragmentVector single = {a};
    EXPECT_EQ(0u, mergeFragments(single));
}

TEST(HtmlMerge, LongRunKeepsEveryCharacterInOrder)
{
    FragmentVector f;
    for (int i = 0; i < 100000; ++i)
        f.push_back(fragmentWith({}, std::u16string(1, static_cast<char16_t>(u'a' + i % 26))));
    testing::internal::CaptureStdout();
    EXPECT_EQ(99999u, mergeFragments(f));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());   // no trace on the server's output
    ASSERT_EQ(100000u, f.back().characters.size());
    EXPECT_EQ(100000u, f.back().length);
    EXPECT_EQ(u'a' + 99999 % 26, f.back().characters.back());
    EXPECT_EQ(u'a' + 12345 % 26, f.back().characters[12345]);
}

// ---- The paragraph and what escalates to it ----

TEST(HtmlParagraph, AlignmentBecomesClassStyleOrElement)
{
    cClassMap classes;
    EXPECT_TRUE(createParagraphFragment("none", defaultTags(), kDefaultClasses, kAllStyles, classes).tags.empty());

    cFragment left = createParagraphFragment("left", defaultTags(), kDefaultClasses, kAllStyles, classes);
    EXPECT_EQ(std::vector<std::string>{"p"}, left.tags);
    EXPECT_TRUE(left.cssClasses.empty() && left.cssStyles.empty());

    cFragment full = createParagraphFragment("full", defaultTags(), kDefaultClasses, kAllStyles, classes);
    ASSERT_EQ(std::vector<std::string>{"vtl"}, full.cssClasses);
    EXPECT_EQ("text-align:justify;", classes.classes.at("vtl"));

    cFragment div = createParagraphFragment("center", {{"center", "div"}}, kDefaultClasses, kAllStyles, classes);
    EXPECT_EQ(std::vector<std::string>{"div"}, div.tags);
    EXPECT_TRUE(div.cssClasses.empty() && div.cssStyles.empty());

    cFragment right = createParagraphFragment("right", {}, {{"right", "r"}}, kAllStyles, classes);
    EXPECT_EQ(std::vector<std::string>{"r"}, right.cssClasses);

    cFragment inlineStyle = createParagraphFragment("center", {}, {}, {{"center", "1"}}, classes);
    EXPECT_EQ("text-align:center;", inlineStyle.getInlineCSS());
    EXPECT_TRUE(createParagraphFragment("center", {}, {}, {{"color", "1"}}, classes).cssStyles.empty());
}

TEST_F(HtmlTest, SharedBlockElementReplacesTheParagraphElement)
{
    FragmentVector f = {fragmentWith({{"bold", ""}}, u"a"), fragmentWith({{"bold", ""}, {"italic", ""}}, u"b")};
    cClassMap classes;
    const ParamVector tags = {{"bold", "h2"}, {"italic", "i"}};
    fragmentsPostProcessing(f, classes, tags, kDefaultClasses, kAllStyles);
    mergeFragments(f);
    cFragment paragraph = createParagraphFragment("", tags, kDefaultClasses, kAllStyles, classes);
    EXPECT_EQ("<h2>a<i>b</i></h2>\r", paragraphHtml(paragraph, f));

    // Only a "p" paragraph takes a block element.
    FragmentVector g = {fragmentWith({{"bold", ""}}, u"a")};
    fragmentsPostProcessing(g, classes, tags, {}, {});
    cFragment div;
    div.tags = {"div"};
    EXPECT_EQ("<div><h2>a</h2></div>\r", paragraphHtml(div, g));
}

TEST_F(HtmlTest, SharedClassesFollowTheAlignmentClass)
{
    cClassMap classes;
    FragmentVector f = {fragmentWith({{"color", "#ff0000"}}, u"a"), fragmentWith({{"color", "#ff0000"}, {"bold", ""}}, u"b")};
    fragmentsPostProcessing(f, classes, defaultTags(), kDefaultClasses, kAllStyles);
    mergeFragments(f);
    cFragment paragraph = createParagraphFragment("center", defaultTags(), kDefaultClasses, kAllStyles, classes);
    EXPECT_EQ("<p class=\"vtl1 vtl\">a<b>b</b></p>\r", paragraphHtml(paragraph, f));
}

TEST_F(HtmlTest, SharedStylesMoveWhenEqualEverywhere)
{
    FragmentVector f = {fragmentWith({}, u"a"), fragmentWith({}, u"b")};
    f[0].cssStyles = {{"color", "red"}, {"font-size", "9px"}};
    f[1].cssStyles = {{"color", "red"}, {"font-size", "10px"}};
    cFragment paragraph;
    paragraph.tags = {"p"};
    paragraph.cssStyles = {{"color", "blue"}};
    EXPECT_EQ("<p style=\"color:red;\"><span style=\"font-size:9px;\">a</span><span style=\"font-size:10px;\">b</span>"
              "</p>\r",
              paragraphHtml(paragraph, f));
}

TEST_F(HtmlTest, EscalationLeavesAnEmptyParagraphAlone)
{
    cFragment paragraph;
    paragraph.tags = {"p"};
    EXPECT_EQ("<p></p>\r", paragraphHtml(paragraph, {}));
}

// ---- Writing HTML ----

TEST(HtmlProduction, OpeningTagsPutClassBeforeStyle)
{
    EXPECT_EQ("<b>", createTag("b", "", ""));
    EXPECT_EQ("<i class=\"vtl1\">", createTag("i", "vtl1", ""));
    EXPECT_EQ("<span class=\"a b\" style=\"color:red;\">", createTag("span", "a b", "color:red;"));
}

TEST_F(HtmlTest, EntitiesAndBreaksAreReplaced)
{
    fmx::TextUniquePtr t = units(u"a<b>&c\n\u00a0\u2028\"'\t\rz");
    addEntitiesAndFixEndlines(*t);
    EXPECT_EQ("a&lt;b&gt;&amp;c<br/>\r&nbsp;<br/>\r&quot;'\t\rz", StringFromFmText(*t));
    fmx::TextUniquePtr empty = text("");
    addEntitiesAndFixEndlines(*empty);
    EXPECT_EQ(0u, empty->GetSize());
}

TEST_F(HtmlTest, FragmentsAreWrappedInTheirElements)
{
    cFragment nested = fragmentWith({}, u"x");
    nested.tags = {"b", "i"};
    nested.cssClasses = {"vtl1"};
    cFragment classed = fragmentWith({}, u"y");
    classed.cssClasses = {"c"};
    cFragment styled = fragmentWith({}, u"z");
    styled.cssStyles = {{"color", "red"}};
    cFragment merged = fragmentWith({}, u"");
    merged.tags = {"u"};
    cFragment bare = fragmentWith({}, u"a<b");
    EXPECT_EQ("<b><i class=\"vtl1\">x</i></b><span class=\"c\">y</span><span style=\"color:red;\">z</span>a&lt;b",
              paragraphHtml(cFragment(), {nested, classed, styled, merged, bare}));
}

// ---- Whole conversions, plain mode ----

TEST_F(HtmlTest, PlainTextStaysTextWithEntities)
{
    EXPECT_EQ("Fish &amp; chips &lt;3", convert(*text("Fish & chips <3")));
    EXPECT_EQ("", convert(*text("")));
}

TEST_F(HtmlTest, BoldAndRedWithDefaultOptions)
{
    fmx::TextUniquePtr bold = text("x");
    setFace(*bold, fmx::CharacterStyle::kFace_Bold);
    EXPECT_EQ("<b>x</b>", convert(*bold));

    fmx::TextUniquePtr red = text("x");
    setColor(*red, 255, 0, 0);
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { color:#ff0000; }\r</style>\r<span class=\"vtl\">x</span>",
              convert(*red));
}

TEST_F(HtmlTest, ParagraphsOfPlainText)
{
    EXPECT_EQ("<p>one</p>\r<p>two</p>\r", convert(*text("one\rtwo")));
    EXPECT_EQ("one", convert(*text("one\r")));
    EXPECT_EQ("<p>a</p>\r<p></p>\r<p>b</p>\r", convert(*text("a\r\rb")));
    EXPECT_EQ("<p>a</p>\r<p>b</p>\r", convert(*text("a\rb\r")));
    EXPECT_EQ("", convert(*text("\r")));
}

TEST_F(HtmlTest, EmptyTagKeyNamesTheElementOfUnalignedParagraphs)
{
    EXPECT_EQ("<div>one</div>\r<div>two</div>\r", convert(*text("one\rtwo"), "=div\rall"));
    EXPECT_EQ("one", convert(*text("one"), "=div\rall"));
}

TEST_F(HtmlTest, LongRunsStayWholeAcrossExtractionBatches)
{
    fmx::TextUniquePtr t = text(std::string(200000, 'a') + "<");
    setFace(*t, fmx::CharacterStyle::kFace_Bold);
    EXPECT_EQ("<b>" + std::string(200000, 'a') + "&lt;</b>", convert(*t));

    // Every character its own fragment, all alike once sizes are dropped.
    fmx::TextUniquePtr alternating = text(std::string(70000, 'x'));
    for (fmx::uint32 i = 0; i < 70000; i += 2)
        setSize(*alternating, 14, i, 1);
    EXPECT_EQ(std::string(70000, 'x'), convert(*alternating, "all", "", "bold"));
}

TEST_F(HtmlTest, CentredParagraphWithBoldRedWord)
{
    fmx::TextUniquePtr t = text("Hi there");
    fmx::CharacterStyleUniquePtr style;
    style->SetFace(fmx::CharacterStyle::kFace_Bold);
    style->SetColor(*fmx::ColorUniquePtr(255, 0, 0, 255));
    t->SetStyle(*style, 3, 5);
    FragmentVector fragments = extract(*t);
    cClassMap classes;
    fmx::TextUniquePtr body;
    transformRichtextToHTML("center", defaultTags(), kDefaultClasses, kAllStyles, fragments, classes, *body);
    EXPECT_EQ("<p class=\"vtl1\">Hi <b class=\"vtl\">there</b></p>\r", StringFromFmText(*body));
    EXPECT_EQ("color:#ff0000;", classes.classes.at("vtl"));
    EXPECT_EQ("text-align:center;", classes.classes.at("vtl1"));
}

TEST_F(HtmlTest, ResultCarriesNoStyles)
{
    fmx::TextUniquePtr source = text("ab");
    setColor(*source, 0, 0, 255);
    fmx::TextUniquePtr out;
    transformRichtextToHTMLWithEvaluate(*source, *text("all"), *text("all"), *text("all"), env(), *out);
    fmx::CharacterStyleUniquePtr style;
    out->GetStyle(*style, out->GetSize() - 1);
    EXPECT_TRUE(style->IsAllDisabled());
}

TEST_F(HtmlTest, OptionsChooseElementsClassesAndStyles)
{
    fmx::TextUniquePtr t = text("ab");
    setFace(*t, fmx::CharacterStyle::kFace_Bold, 0, 1);
    setFace(*t, fmx::CharacterStyle::kFace_Italic, 1, 1);
    EXPECT_EQ("<strong>a</strong><span style=\"font-style:italic;\">b</span>", convert(*t, "bold=strong", "", "all"));
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { font-style:italic; }\r</style>\r<strong>a</strong>"
              "<span class=\"vtl\">b</span>",
              convert(*t, "bold=strong", "ALL", ""));
    EXPECT_EQ("ab", convert(*t, "", "", ""));
}

TEST_F(HtmlTest, SourcesThatAreNotVariableNamesAreConvertedLiterally)
{
    // Unset variable: its name is the text.
    EXPECT_EQ("$nothing", convert(*text("$nothing")));
    // Text that only starts like a variable is never handed to the calculation engine.
    EXPECT_EQ("$x) or Vantrel_DoBashCmd ( &quot;id&quot; ) or (1",
              convert(*text("$x) or Vantrel_DoBashCmd ( \"id\" ) or (1")));
    EXPECT_TRUE(isVariableName(*text("$$total_2.x")));
    EXPECT_FALSE(isVariableName(*text("$")));
    EXPECT_FALSE(isVariableName(*text("$a b")));
    EXPECT_FALSE(isVariableName(*text("$a;1")));
    EXPECT_FALSE(isVariableName(*text("$$$a")));
    EXPECT_FALSE(isVariableName(*text("a$")));
}

// ---- Nothing in the input adds markup ----

namespace
{
std::string fontCss(const std::string &name)
{
    return serialize_CSS(CSSFromFormattings({{"font", name}}), "");
}
} // namespace

TEST(HtmlSafety, PlainFontNamesStayAsTheyAreOthersBecomeEscapedStrings)
{
    EXPECT_EQ("font-family:Arial;", fontCss("Arial"));
    EXPECT_EQ("font-family:Courier New;", fontCss("Courier New"));
    EXPECT_EQ("font-family:Noto_Sans-Bold;", fontCss("Noto_Sans-Bold"));
    // Words CSS would not read as names are quoted, or the browser would drop the whole declaration.
    EXPECT_EQ("font-family:'Wingdings 2';", fontCss("Wingdings 2"));
    EXPECT_EQ("font-family:'-1x';", fontCss("-1x"));
    EXPECT_EQ("font-family:'   ';", fontCss("   "));

    EXPECT_EQ("font-family:'Arial\\000022\\000020onmouseover\\00003d\\000022alert\\0000281\\000029';",
              fontCss("Arial\" onmouseover=\"alert(1)"));
    const std::string closing = fontCss("x;}</style><script>alert(1)</script><style>");
    EXPECT_EQ(std::string::npos, closing.find_first_of("<>}\"&")) << closing;
    EXPECT_EQ(closing.size() - 1, closing.find(';'));   // the only ";" ends the declaration
    EXPECT_EQ("font-family:'a\\00005c\\000020\\000027\\00000a\\000021--';", fontCss("a\\ '\n!--"));
    // Beyond ASCII: escapes of whole code points, so the value is ASCII whatever the output encoding.
    EXPECT_EQ("font-family:'\\0000c4rial \\01f600';", fontCss("\xC3\x84rial \xF0\x9F\x98\x80"));
    // What no CSS string can hold is left out.
    EXPECT_EQ("", fontCss(std::string("a\0b", 3)));
    EXPECT_EQ("", fontCss("a\xFF"));
    EXPECT_EQ("", fontCss("\xED\xA0\x80"));   // a surrogate in UTF-8
    EXPECT_TRUE(hasUnwritableUnits({u'a', 0}));
    EXPECT_TRUE(hasUnwritableUnits({0xD800, u'a'}));
    EXPECT_TRUE(hasUnwritableUnits({0xDC00}));
    EXPECT_TRUE(hasUnwritableUnits({u'a', 0xD83D}));
    EXPECT_FALSE(hasUnwritableUnits({0xD83D, 0xDE00, u'x'}));
}

TEST(HtmlSafety, OptionLinesNamingNoPlainElementOrClassAreIgnored)
{
    fmx::TextUniquePtr tags = text("bold=b onclick=x\ritalic=em\runderline=1u\rstrikethrough=del\rhighlight=<mark>\r"
                                   "superscript=x-sup_2\rsubscript=s\"ub\r=div\rcenter=");
    EXPECT_EQ((ParamVector{{"italic", "em"}, {"strikethrough", "del"}, {"superscript", "x-sup_2"}, {"", "div"}}),
              parseTagOrClassOrStyleParam(*tags, true));
    fmx::TextUniquePtr classes = text("color=c d\rbold==x\rall\rsize=b;x\ritalic=\xC3\xA9");
    EXPECT_EQ((ParamVector{{"bold", ""}, {"all", "vtl"}}), parseTagOrClassOrStyleParam(*classes, true));
    EXPECT_TRUE(isValidName("h2") && isValidName("my-el_2") && !isValidName("2b") && !isValidName("-a") &&
                !isValidName("") && !isValidName("a b"));
}

TEST_F(HtmlTest, AttributesAndStyleBlockHoldOnlyWhatTheConversionWrote)
{
    EXPECT_EQ("<a class=\"x&quot; onclick=&quot;y&amp;&lt;&gt;\">", createTag("a", "x\" onclick=\"y&<>", ""));
    // A malformed tag line is dropped whole: bold falls to the class, as with no line at all.
    fmx::TextUniquePtr bold = text("hi");
    setFace(*bold, fmx::CharacterStyle::kFace_Bold);
    EXPECT_EQ("<span style=\"font-weight:bold;\">hi</span>", convert(*bold, "bold=b onclick=x", "", "all"));
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { font-weight:bold; }\r</style>\r<span class=\"vtl\">hi</span>",
              convert(*bold, "", "all=vtl{}</style>\rbold=vtl", ""));
}

// ---- Every formatting still shows in a browser ----

TEST_F(HtmlTest, AClassNeverReplacesTheDecorationOfItsElement)
{
    fmx::TextUniquePtr t = text("x");
    setFace(*t, static_cast<Face>(fmx::CharacterStyle::kFace_Strikethrough | fmx::CharacterStyle::kFace_DoubleUnderline));
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { -webkit-text-decoration-style:double;text-decoration:underline;"
              "text-decoration-style:double; }\r</style>\r<s><span class=\"vtl\">x</span></s>",
              convert(*t));
    EXPECT_EQ("<s><span style=\"-webkit-text-decoration-style:double;text-decoration:underline;"
              "text-decoration-style:double;\">x</span></s>",
              convert(*t, "all", "", "all"));
    // An underline element with a strike-through class, the same.
    setFace(*t, static_cast<Face>(fmx::CharacterStyle::kFace_Strikethrough | fmx::CharacterStyle::kFace_Underline));
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { text-decoration:line-through; }\r</style>\r"
              "<u><span class=\"vtl\">x</span></u>",
              convert(*t, "underline=u", "all", ""));
    // No conflict, no extra element.
    setStyle(*t, fmx::CharacterStyle::kFace_Strikethrough, true, 0);
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { color:#ff0000; }\r</style>\r<s class=\"vtl\">x</s>", convert(*t));
}

TEST_F(HtmlTest, TheParagraphTakesNothingAnElementOfItsTextWouldHide)
{
    // Vertical alignment does nothing on a paragraph.
    fmx::TextUniquePtr raised = text("a\rb");
    setFace(*raised, fmx::CharacterStyle::kFace_Superscript);
    EXPECT_EQ("<p><span style=\"vertical-align:super;\">a</span></p>\r<p><span style=\"vertical-align:super;\">b"
              "</span></p>\r",
              convert(*raised, "", "", "all"));
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { vertical-align:super; }\r</style>\r<p><span class=\"vtl\">a</span>"
              "</p>\r<p><span class=\"vtl\">b</span></p>\r",
              convert(*raised, "", "all", ""));
    // A red paragraph keeps its colour on the highlighted text, which "mark" would paint black.
    fmx::TextUniquePtr red = text("ab\rc");
    setColor(*red, 255, 0, 0);
    setStyle(*red, static_cast<Face>(0x1000), true, 0, 0, 1);
    EXPECT_EQ("<p><mark style=\"color:#ff0000;\">a</mark><span style=\"color:#ff0000;\">b</span></p>\r"
              "<p style=\"color:#ff0000;\">c</p>\r",
              convert(*red, "all", "", "all"));
    // A shared double style without the shared line it shapes would leave the lines solid.
    fmx::TextUniquePtr doubled = text("ab\rc");
    setStyle(*doubled, fmx::CharacterStyle::kFace_DoubleUnderline, false, 0, 0, 1);
    setStyle(*doubled,
             static_cast<Face>(fmx::CharacterStyle::kFace_DoubleUnderline | fmx::CharacterStyle::kFace_Strikethrough),
             false, 0, 1, 1);
    const std::string doubleStyle = "-webkit-text-decoration-style:double;text-decoration:underline";
    EXPECT_EQ("<p><span style=\"" + doubleStyle + ";text-decoration-style:double;\">a</span><span style=\"" +
                  doubleStyle + " line-through;text-decoration-style:double;\">b</span></p>\r<p>c</p>\r",
              convert(*doubled, "", "", "all"));
    // A 20 px paragraph keeps its size on superscript text, which "sup" would make smaller.
    fmx::TextUniquePtr large = text("ab\rc");
    setSize(*large, 20);
    setStyle(*large, fmx::CharacterStyle::kFace_Superscript, false, 20, 1, 1);
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { font-size:20px; }\r</style>\r<p><span class=\"vtl\">a</span>"
              "<sup class=\"vtl\">b</sup></p>\r<p class=\"vtl\">c</p>\r",
              convert(*large));
}

// ---- Variable mode pieces ----

TEST(HtmlVariableMode, AlignmentIsReadFromTheFirstStartTag)
{
    EXPECT_EQ("center", parseAlignmentFromGetAsCSS("<span style=\"text-align: center;\">x</span>"));
    EXPECT_EQ("right", parseAlignmentFromGetAsCSS("<p style=\"color:red;text-align:right\">x</p>"));
    EXPECT_EQ("full", parseAlignmentFromGetAsCSS("<p style=\"text-align:full;\">"));
    EXPECT_EQ("full", parseAlignmentFromGetAsCSS("<p style=\"text-align:justify;\">x"));
    EXPECT_EQ("full", parseAlignmentFromGetAsCSS("<SPAN STYLE= \"text-align: justify;\" >x</SPAN>"));
    EXPECT_EQ("left", parseAlignmentFromGetAsCSS("<p style=\"color:red\">x<span style=\"text-align:center\">"));
    EXPECT_EQ("left", parseAlignmentFromGetAsCSS("no tag text-align:center"));
    EXPECT_EQ("left", parseAlignmentFromGetAsCSS("<p text-align:>"));
    EXPECT_EQ("left", parseAlignmentFromGetAsCSS("<p style=\"text-align:\" class=\"center\">"));
    EXPECT_THROW(parseAlignmentFromGetAsCSS("<p text-align>"), std::out_of_range);
}

TEST(HtmlVariableMode, AnExportIsCutIntoParagraphsAtItsBreaksWhereverTheyFall)
{
    using Aligns = std::vector<std::string>;
    EXPECT_EQ((Aligns{"center", "left", "right", "left"}),
              exportAlignments(*text("<SPAN STYLE= \"text-align: center;\" >a</SPAN><BR>b<br/>"
                                     "<p style=\"text-align:right\">é<b>c</b></p>< B r / >")));
    // Tags that only look like breaks, and a '<' that no '>' closes, cut nothing.
    EXPECT_EQ((Aligns{"left"}), exportAlignments(*text("<bra>x<b>y</b><brr>z<br")));
    // A paragraph without a tag of its own is left-aligned; the next paragraph's tag does not count for it.
    EXPECT_EQ((Aligns{"left", "center"}), exportAlignments(*text("plain<br><p style=\"text-align:center\">")));
    EXPECT_EQ((Aligns{"left"}), exportAlignments(*text("")));

    // A long export is read in blocks: a break or a first tag across the edge of a block is still seen.
    for (std::size_t shift = 0; shift < 12; ++shift)
    {
        const std::string open = "<p style=\"text-align:right\">";
        std::string css(65536 - 4 - open.size() + shift, 'x');
        css = open + css + "<BR>" + open + "y";
        EXPECT_EQ((Aligns{"right", "right"}), exportAlignments(*text(css))) << shift;
    }
}

TEST(HtmlVariableMode, ParagraphsEndAtCarriageReturnsAndAlignmentChanges)
{
    EXPECT_EQ((std::vector<bool>{true, false}), determineParagraphEnds({13, 0}, {"center", "center"}));
    EXPECT_EQ((std::vector<bool>{false, false}), determineParagraphEnds({0x2028, 0}, {"center", "center"}));
    EXPECT_EQ((std::vector<bool>{true, false}), determineParagraphEnds({0x2028, 0}, {"center", "right"}));
    EXPECT_EQ((std::vector<bool>{false, false, false}), determineParagraphEnds({0x2028}, {"left", "left", "left"}));
    EXPECT_TRUE(determineParagraphEnds({}, {}).empty());
}

// ---- The external function ----

class HtmlFunctionTest : public HtmlTest
{
protected:
    void SetUp() override
    {
        std::ofstream(TEST_ALLOWLIST_PATH) << "Invoices\tVantrel_GetAsHTML\n";
        session.OpenFile("Invoices");
    }

    fmx::DataVectUniquePtr arguments(const std::vector<const fmx::Text *> &params)
    {
        fmx::DataVectUniquePtr args;
        fmx::LocaleUniquePtr locale;
        for (const fmx::Text *param : params)
        {
            fmx::DataUniquePtr value;
            value->SetAsText(*param, *locale);
            args->PushBack(*value);
        }
        return args;
    }

    fmx::errcode call(const std::vector<const fmx::Text *> &params, fmx::Data &result)
    {
        return Vantrel_GetAsHTML(25, env(), *arguments(params), result);
    }
};

TEST_F(HtmlFunctionTest, MissingSourceIsAUsageError)
{
    fmx::DataUniquePtr result;
    EXPECT_EQ(0, call({}, *result));
    EXPECT_EQ("-50", StringFromFmText(result->GetAsText()));
    EXPECT_EQ("Input parameter is missing", session.Evaluate("$$Vantrel_LastErrorMessage").text);
}

TEST_F(HtmlFunctionTest, OptionsDefaultOneByOne)
{
    fmx::TextUniquePtr source = text("ab");
    setFace(*source, fmx::CharacterStyle::kFace_Bold, 0, 1);
    setColor(*source, 0, 128, 0, 1, 1);
    fmx::DataUniquePtr result;
    call({source.get()}, *result);
    EXPECT_EQ("<style type=\"text/css\">\r.vtl { color:#008000; }\r</style>\r<b>a</b><span class=\"vtl\">b</span>",
              StringFromFmText(result->GetAsText()));
    call({source.get(), text("").get(), text("").get()}, *result);
    EXPECT_EQ("<span style=\"font-weight:bold;\">a</span><span style=\"color:#008000;\">b</span>",
              StringFromFmText(result->GetAsText()));
    call({source.get(), text("").get(), text("").get(), text("").get(), text("ignored").get()}, *result);
    EXPECT_EQ("ab", StringFromFmText(result->GetAsText()));
}

TEST_F(HtmlFunctionTest, HostFailuresAnywhereEndInAnErrorResult)
{
    fmx::TextUniquePtr source = text("a\rb");
    setFace(*source, fmx::CharacterStyle::kFace_Bold, 0, 1);
    fmx::DataVectUniquePtr args = arguments({source.get()});
    fmx::DataUniquePtr result;
    FMHost::Faults::ClearCallFailure();
    Vantrel_GetAsHTML(25, env(), *args, *result);
    const unsigned long calls = FMHost::Faults::CallsCounted();
    ASSERT_GT(calls, 10u);
    int errors = 0;
    for (unsigned n = 1; n <= calls; ++n)
    {
        fmx::DataUniquePtr failed;
        FMHost::Faults::FailNthCall(n, n % 2 ? fmx::_fmxcpt::kBadAlloc : fmx::_fmxcpt::kUnknown);
        Vantrel_GetAsHTML(25, env(), *args, *failed);   // must neither throw nor crash
        FMHost::Faults::ClearCallFailure();
        const std::string answer = StringFromFmText(failed->GetAsText());
        errors += answer == "2400";
        EXPECT_TRUE(answer == "2400" || answer == "?" || answer == "" || answer == "<p><b>a</b></p>\r<p>b</p>\r")
            << "failing call " << n << " gave " << answer;
    }
    EXPECT_GT(errors, 0);
}

TEST_F(HtmlFunctionTest, UnreadableValueCountEndsInTheStoiError)
{
    session.Evaluate("Let ( $v = \"a¶b\" ; 1 )");
    FMHost::Faults::FailEvaluation("ValueCount($v)", 1200);
    fmx::DataUniquePtr result;
    EXPECT_EQ(0, call({text("$v").get()}, *result));
    FMHost::Faults::ClearAll();
    EXPECT_EQ("2400", StringFromFmText(result->GetAsText()));
    EXPECT_EQ("stoi", session.Evaluate("$$Vantrel_LastErrorMessage").text);
}

TEST_F(HtmlFunctionTest, VariableLinesBecomeParagraphs)
{
    session.Evaluate("Let ( $v = \"a¶b\" ; 1 )");
    fmx::DataUniquePtr result;
    call({text("$v").get()}, *result);
    EXPECT_EQ("<p>a</p>\r<p>b</p>\r", StringFromFmText(result->GetAsText()));
    // Unset: the name itself is the text.
    call({text("$unset").get()}, *result);
    EXPECT_EQ("$unset", StringFromFmText(result->GetAsText()));
}

// Lines joined by line separators and carriage returns, each aligned on its own, some empty: the alignments come
// from a fixed number of host evaluations however many lines there are, and read as asking for each value would.
TEST_F(HtmlFunctionTest, LineAlignmentsTakeAFixedNumberOfEvaluations)
{
    for (int n = 0; n < 300; ++n)
    {
        const std::string words = "\"line " + std::to_string(n) + "\"";
        std::string line;
        switch (n % 5)
        {
        case 0: line = "EmulatorTextAlign ( TextStyleAdd ( " + words + " ; Bold ) ; \"center\" )"; break;
        case 1: line = "EmulatorTextAlign ( " + words + " ; \"right\" )"; break;
        case 2: line = "EmulatorTextAlign ( " + words + " ; \"justify\" )"; break;
        case 3: line = "\"\""; break;   // an empty line
        default: line = words;
        }
        const std::string ending = n % 7 == 6 ? "\"¶\"" : "Char ( 8232 )";
        ASSERT_EQ(0, session.Evaluate("Let ( $lines = $lines & " + line + " & " + ending + " ; 1 )").error);
    }

    fmx::DataUniquePtr result;
    const unsigned long before = FMHost::Faults::EvaluationsCounted();
    call({text("$lines").get()}, *result);
    EXPECT_LE(FMHost::Faults::EvaluationsCounted() - before, 8u);
    const std::string html = StringFromFmText(result->GetAsText());
    EXPECT_NE(std::string::npos, html.find("<p class=\"vtl1\">line 1</p>")) << html.substr(0, 400);

    // Without the one export every value is asked for its own; the result is the same.
    FMHost::Faults::FailEvaluation("GetAsCSS(Substitute($lines;Char(8232);Char(13)))", 1200);
    fmx::DataUniquePtr perValue;
    call({text("$lines").get()}, *perValue);
    FMHost::Faults::ClearAll();
    EXPECT_EQ(html, StringFromFmText(perValue->GetAsText()));
}

// ---- Working memory and the length of the result ----

namespace
{
// A text of `count` letters whose style changes every `run` characters, cycling through six styles: bold,
// italic, red, 14 pt, underline, blue bold italic; with `distinctColours` every run gets a colour of its own.
fmx::TextUniquePtr styledRuns(std::size_t count, std::size_t run, bool distinctColours = false)
{
    std::string letters(count, 'a');
    for (std::size_t i = 0; i < count; ++i)
        letters[i] = i % 11 == 10 ? ' ' : static_cast<char>('a' + i % 26);
    fmx::TextUniquePtr t = text(letters);
    for (std::size_t at = 0, n = 0; at < count; at += run, ++n)
    {
        const auto from = static_cast<fmx::uint32>(at), size = static_cast<fmx::uint32>(run);
        if (distinctColours)
        {
            fmx::CharacterStyleUniquePtr style;
            style->SetColor(*fmx::ColorUniquePtr(static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                                                 static_cast<unsigned char>(n >> 16), 255));
            t->SetStyle(*style, from, size);
            continue;
        }
        switch (n % 6)
        {
        case 0: setStyle(*t, fmx::CharacterStyle::kFace_Bold, false, 0, from, size); break;
        case 1: setStyle(*t, fmx::CharacterStyle::kFace_Italic, false, 0, from, size); break;
        case 2: setStyle(*t, 0, true, 0, from, size); break;
        case 3: setStyle(*t, 0, false, 14, from, size); break;
        case 4: setStyle(*t, fmx::CharacterStyle::kFace_Underline, false, 0, from, size); break;
        default:
        {
            fmx::CharacterStyleUniquePtr style;
            style->SetFace(fmx::CharacterStyle::kFace_Bold | fmx::CharacterStyle::kFace_Italic);
            style->SetColor(*fmx::ColorUniquePtr(0, 0, 255, 255));
            t->SetStyle(*style, from, size);
        }
        }
    }
    return t;
}
} // namespace

TEST_F(HtmlTest, WorkingMemoryStaysWithinFourTimesTheResult)
{
    struct cCase
    {
        const char *name;
        std::size_t run;
        bool distinctColours;
        const char *classes;
    };
    const cCase cases[] = {
        {"runs of ten", 10, false, "all=vtl"},
        {"a new style at every character", 1, false, "all=vtl"},
        {"inline styles at every character", 1, false, ""},
        {"a colour of its own for every run of ten", 10, true, "all=vtl"},
        {"a colour of its own for every character", 1, true, "all=vtl"},
        {"a colour of its own inline for every character", 1, true, ""},
    };
    constexpr long long kConstant = 512 * 1024;
    for (const cCase &c : cases)
    {
        fmx::TextUniquePtr source = styledRuns(300000, c.run, c.distinctColours);
        fmx::TextUniquePtr tags = text("all"), classes = text(c.classes), styles = text("all");
        fmx::TextUniquePtr out;
        long long peak = 0;
        {
            alloccount::cPeak measure;
            transformRichtextToHTMLWithEvaluate(*source, *tags, *classes, *styles, env(), *out);
            peak = measure.bytes();
        }
        const long long outputBytes = 2LL * out->GetSize();
        EXPECT_GT(out->GetSize(), 300000u) << c.name;
        EXPECT_LE(peak, 4 * outputBytes + kConstant)
            << c.name << ": " << peak << " bytes held at most for " << outputBytes << " bytes of HTML";
    }
}

TEST_F(HtmlTest, AResultLongerThanTheLimitIsAnErrorNotAnExhaustedServer)
{
    fmx::TextUniquePtr source = styledRuns(2000, 10);
    const fmx::TextUniquePtr all = text("all"), classes = text("all=vtl");
    fmx::TextUniquePtr whole;
    transformRichtextToHTMLWithEvaluate(*source, *all, *classes, *all, env(), *whole);
    const std::uint64_t size = whole->GetSize();
    ASSERT_GT(size, 2000u);

    // Exactly as long as the limit is fine; a character more, in the text or in the style block, is not.
    fmx::TextUniquePtr same;
    transformRichtextToHTMLWithEvaluate(*source, *all, *classes, *all, env(), *same, size);
    EXPECT_EQ(StringFromFmText(*whole), StringFromFmText(*same));
    for (const std::uint64_t longest : {size - 1, std::uint64_t(30), std::uint64_t(0)})
    {
        fmx::TextUniquePtr cut;
        try
        {
            transformRichtextToHTMLWithEvaluate(*source, *all, *classes, *all, env(), *cut, longest);
            ADD_FAILURE() << "no error with a limit of " << longest;
        }
        catch (const std::length_error &error)
        {
            EXPECT_EQ("Vantrel_GetAsHTML gave up: the HTML would be longer than " + std::to_string(longest) +
                          " characters",
                      error.what());
        }
        EXPECT_EQ(0u, cut->GetSize()) << "no partial result";
    }
    // The text fits, the style block in front of it does not.
    fmx::TextUniquePtr red = text("x");
    setColor(*red, 255, 0, 0);
    fmx::TextUniquePtr out;
    EXPECT_THROW(transformRichtextToHTMLWithEvaluate(*red, *all, *classes, *all, env(), *out, 30), std::length_error);
}
