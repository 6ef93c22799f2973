// Vantrel_GetAsHTML output rendered by a real browser (headless Chromium): for random styled texts and several
// option sets, the computed style of every character must show every formatting of the source, and the output
// must hold no element or attribute the conversion does not write. One browser start renders every case, each in
// its own shadow root (every output's style block names the same classes).
//
// Skipped when no browser is installed; VANTREL_REQUIRE_BROWSER=1 (CI) turns that into a failure.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "FMHost/Host.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXTextStyle.h"
#include "core/Styles.h"
#include "host/TextConversion.h"
#include "html/HtmlConversion.h"

namespace
{
struct cRunStyle
{
    unsigned face = 0;
    int red = -1, green = 0, blue = 0;   // red -1: no colour
    int size = 0;                        // 0: no size
    std::string font;                    // empty: no font
};

struct cRun
{
    std::u16string chars;
    cRunStyle style;
};

struct cOptionSet
{
    const char *name;
    const char *tags;
    const char *classes;
    const char *styles;
    const char *elements;   // the element names the options may produce, besides p, span, br and style
};

const cOptionSet kOptionSets[] = {
    {"defaults", "all", "all=vtl", "all", "b i u s mark sup sub"},
    {"no elements", "", "all=vtl", "all", ""},
    {"all inline", "", "", "all", ""},
    {"elements and inline", "all", "", "all", "b i u s mark sup sub"},
    {"custom elements", "strikethrough=del\rbold=strong\ritalic=em\rhighlight=mark\runderline=ins\rsuperscript=sup"
                        "\rsubscript=sub",
     "all=c", "all", "del strong em mark ins sup sub"},
};

// Font names CSS cannot take unquoted, and some it can.
const char *const kFonts[] = {"Arial", "Courier New", "Wingdings 2", "Font\" onmouseover=\"x", "a;}</style><b>",
                              "back\\slash", "it's", "<!--x", "Caf\xC3\xA9", "-9 Lives", "tab\tname"};

const char16_t kAlphabet[] = u"abcdXY z<&>\"'\u00e9\u20ac";

std::string jsonString(const std::u16string &text)
{
    std::string out = "\"";
    char buffer[8];
    for (const char16_t c : text)
    {
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\' && c != '<' && c != '>' && c != '&')
            out += static_cast<char>(c);
        else
        {
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out + "\"";
}

std::u16string utf16(const std::string &utf8)
{
    fmx::TextUniquePtr t;
    t->Assign(utf8.c_str(), fmx::Text::kEncoding_UTF8);
    std::u16string units(t->GetSize(), u'\0');
    if (!units.empty())
        t->GetUnicode(reinterpret_cast<fmx::uint16 *>(&units[0]), 0, t->GetSize());
    return units;
}

// What the source says one character should look like, in the terms the page's script checks.
std::string expectedOf(char16_t c, const cRunStyle &style)
{
    const unsigned f = style.face;
    auto has = [f](unsigned bit) { return (f & bit) != 0; };
    const bool underline = has(0x0400) || (!has(0x0080) && has(0x0040) && c == u' ');
    const bool doubleUnderline = !has(0x0400) && has(0x0080);
    const char *vertical = has(0x0004) ? "super" : has(0x0008) ? "sub" : "";
    const char *transform = (f & 0x0030) == 0x0030 ? "capitalize" : has(0x0010) ? "uppercase"
                            : has(0x0020)           ? "lowercase"
                                                    : "none";
    const char *spacing = has(0x2000) ? "-2px" : has(0x4000) ? "2px" : "normal";
    std::ostringstream out;
    out << "{\"bold\":" << (has(0x0100) ? "true" : "false") << ",\"italic\":" << (has(0x0200) ? "true" : "false")
        << ",\"underline\":\"" << (doubleUnderline ? "double" : underline ? "solid" : "") << "\""
        << ",\"strike\":" << (has(0x0001) ? "true" : "false") << ",\"vertical\":\"" << vertical << "\""
        << ",\"smallcaps\":" << (has(0x0002) ? "true" : "false") << ",\"transform\":\"" << transform << "\""
        << ",\"highlight\":" << (has(0x1000) ? "true" : "false") << ",\"spacing\":\"" << spacing << "\"";
    if (style.red >= 0)
        out << ",\"color\":\"rgb(" << style.red << ", " << style.green << ", " << style.blue << ")\"";
    if (style.size)
        out << ",\"size\":\"" << style.size << "px\"";
    if (!style.font.empty())
        out << ",\"font\":" << jsonString(utf16(style.font));
    out << "}";
    return out.str();
}

cRunStyle randomStyle(std::mt19937 &random, const cRunStyle &base)
{
    static const unsigned kBits[] = {0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040,
                                     0x0080, 0x0100, 0x0200, 0x0400, 0x1000, 0x2000, 0x4000};
    auto chance = [&random](int percent) { return static_cast<int>(random() % 100) < percent; };
    cRunStyle style = base;
    for (const unsigned bit : kBits)
        if (chance(18))
            style.face ^= bit;
    if (chance(20))
    {
        style.red = static_cast<int>(random() % 256);
        style.green = static_cast<int>(random() % 256);
        style.blue = static_cast<int>(random() % 256);
    }
    if (chance(15))
        style.size = 8 + static_cast<int>(random() % 30);
    if (chance(15))
        style.font = kFonts[random() % (sizeof kFonts / sizeof *kFonts)];
    return style;
}

// A styled text of one to three paragraphs; the runs of a paragraph often share a colour, size or font, so that
// the paragraph element takes them over.
std::vector<cRun> randomText(std::mt19937 &random)
{
    std::vector<cRun> runs;
    const int paragraphs = 1 + static_cast<int>(random() % 3);
    for (int p = 0; p < paragraphs; ++p)
    {
        if (p > 0)
            runs.push_back({u"\r", {}});
        const cRunStyle base = randomStyle(random, {});
        const int count = 1 + static_cast<int>(random() % 4);
        for (int r = 0; r < count; ++r)
        {
            cRun run;
            run.style = random() % 3 == 0 ? base : randomStyle(random, base);
            const int length = 1 + static_cast<int>(random() % 4);
            for (int k = 0; k < length; ++k)
                run.chars += kAlphabet[random() % (sizeof kAlphabet / sizeof *kAlphabet - 1)];
            runs.push_back(run);
        }
    }
    return runs;
}

fmx::TextUniquePtr hostText(const std::vector<cRun> &runs)
{
    std::u16string all;
    for (const cRun &run : runs)
        all += run.chars;
    fmx::TextUniquePtr text;
    text->AssignUnicodeWithLength(reinterpret_cast<const fmx::uint16 *>(all.data()),
                                  static_cast<fmx::uint32>(all.size()));
    fmx::uint32 at = 0;
    for (const cRun &run : runs)
    {
        fmx::CharacterStyleUniquePtr style;
        style->SetFace(static_cast<fmx::CharacterStyle::Face>(run.style.face));
        if (run.style.red >= 0)
            style->SetColor(*fmx::ColorUniquePtr(static_cast<fmx::uchar>(run.style.red),
                                                 static_cast<fmx::uchar>(run.style.green),
                                                 static_cast<fmx::uchar>(run.style.blue), 255));
        if (run.style.size)
            style->SetSize(static_cast<fmx::CharacterStyle::FontSize>(run.style.size));
        if (!run.style.font.empty())
            style->SetFont(emu::FontIdFor(utf16(run.style.font)));
        text->SetStyle(*style, at, static_cast<fmx::uint32>(run.chars.size()));
        at += static_cast<fmx::uint32>(run.chars.size());
    }
    return text;
}

std::string browser()
{
    for (const char *name : {"chromium", "chromium-browser", "google-chrome"})
        for (const char *dir : {"/usr/bin/", "/usr/local/bin/", "/snap/bin/"})
        {
            const std::string path = std::string(dir) + name;
            if (access(path.c_str(), X_OK) == 0)
                return path;
        }
    return std::string();
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string unescapeHtml(std::string text)
{
    const std::pair<const char *, const char *> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto &[entity, plain] : kEntities)
        for (std::string::size_type at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), plain);
    return text;
}

// The page's script: renders each case in a shadow root and compares every character's computed style.
const char *const kCheckScript = R"JS(
const problems = [];
let checked = 0;
try {
const probe = document.createElement('span');
document.body.appendChild(probe);
function familyOf(name) {
  let css = '"';
  for (const ch of name) {
    const code = ch.codePointAt(0);
    css += (ch === '"' || ch === '\\' || code < 0x20) ? '\\' + code.toString(16) + ' ' : ch;
  }
  probe.style.fontFamily = css + '"';
  return getComputedStyle(probe).fontFamily;
}
const host0 = document.createElement('div');
document.body.appendChild(host0);
const defaults = getComputedStyle(host0);
const defaultFamily = defaults.fontFamily, defaultSize = defaults.fontSize, defaultColor = defaults.color;
function describe(node, root) {
  const d = {bold: false, italic: false, underline: '', strike: false, vertical: '', smallcaps: false,
             transform: 'none', highlight: false, spacing: 'normal'};
  const parent = node.parentElement || root.host;   // text at the top of the shadow root: the host's style
  const cs = getComputedStyle(parent);
  d.bold = parseInt(cs.fontWeight, 10) >= 600;
  d.italic = cs.fontStyle === 'italic';
  d.smallcaps = cs.fontVariantCaps === 'small-caps';
  d.transform = cs.textTransform;
  d.spacing = cs.letterSpacing;
  d.color = cs.color;
  d.size = cs.fontSize;
  d.family = cs.fontFamily;
  const verticals = [];
  let inline = true;
  for (let e = parent; e; e = e.parentElement) {
    const s = getComputedStyle(e);
    const lines = s.textDecorationLine;
    if (lines.includes('underline')) d.underline = d.underline ? 'twice' : s.textDecorationStyle;
    if (lines.includes('line-through')) d.strike = true;
    if (s.backgroundColor === 'rgb(255, 255, 0)') d.highlight = true;
    if (inline && s.display === 'inline') { if (s.verticalAlign !== 'baseline') verticals.push(s.verticalAlign); }
    else inline = false;
  }
  d.vertical = verticals.join(' ');
  return d;
}
for (const c of CASES) {
  const host = document.createElement('div');
  document.body.appendChild(host);
  const root = host.attachShadow({mode: 'open'});
  root.innerHTML = c.html;
  const allowed = new Set(['STYLE', 'P', 'SPAN', 'BR'].concat(c.elements));
  for (const e of root.querySelectorAll('*')) {
    if (!allowed.has(e.tagName)) problems.push(c.id + ': element ' + e.tagName);
    for (const a of e.getAttributeNames())
      if (!(a === 'class' || a === 'style' || (a === 'type' && e.tagName === 'STYLE')))
        problems.push(c.id + ': attribute ' + a + ' on ' + e.tagName);
  }
  const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
  const nodes = [];
  for (let n = walker.nextNode(); n; n = walker.nextNode()) {
    if (n.parentElement && n.parentElement.tagName === 'STYLE') continue;
    nodes.push(n);
  }
  let at = 0;
  for (const n of nodes) {
    const got = describe(n, root);
    for (const ch of n.data) {
      if (ch === '\n') continue;   // the line ends after paragraphs and the style block; the source has none
      for (let u = 0; u < ch.length; ++u, ++at) {
        const want = c.chars[at];
        if (!want) { problems.push(c.id + ': extra text ' + JSON.stringify(n.data)); break; }
        checked++;
        const diffs = [];
        for (const k of ['bold', 'italic', 'underline', 'strike', 'vertical', 'smallcaps', 'transform', 'highlight',
                         'spacing'])
          if (got[k] !== want[k]) diffs.push(k + ' ' + got[k] + ' (want ' + want[k] + ')');
        const color = want.color || defaultColor;
        if (got.color !== color) diffs.push('color ' + got.color + ' (want ' + color + ')');
        const size = want.size || (want.vertical ? null : defaultSize);
        if (size && got.size !== size) diffs.push('size ' + got.size + ' (want ' + size + ')');
        const family = want.font !== undefined ? familyOf(want.font) : defaultFamily;
        if (got.family !== family) diffs.push('font ' + got.family + ' (want ' + family + ')');
        if (want.text !== ch[u] && want.text !== ch) diffs.push('text');
        if (diffs.length) problems.push(c.id + ' char ' + (at) + ': ' + diffs.join(', '));
      }
    }
  }
  if (at !== c.chars.length) problems.push(c.id + ': ' + at + ' characters rendered of ' + c.chars.length);
}
} catch (e) { problems.push('script error: ' + e + ' ' + e.stack); }
const out = document.createElement('pre');
out.id = 'result';
out.textContent = 'CHECKED ' + checked + '\n' + problems.slice(0, 40).join('\n') +
                  (problems.length > 40 ? '\n... ' + problems.length + ' problems' : '');
document.body.appendChild(out);
)JS";
} // namespace

TEST(HtmlBrowser, EveryFormattingShowsAndNothingElseIsWritten)
{
    const std::string chromium = browser();
    const bool required = std::getenv("VANTREL_REQUIRE_BROWSER") && std::string(std::getenv("VANTREL_REQUIRE_BROWSER")) == "1";
    if (chromium.empty())
    {
        if (required)
            FAIL() << "no Chromium installed, and VANTREL_REQUIRE_BROWSER=1";
        GTEST_SKIP() << "no Chromium installed (scripts/deps.sh --browser installs it): browser test skipped";
    }

    FMHost::Session session;
    std::mt19937 random(20261208);
    std::ostringstream cases;
    cases << "const CASES = [\n";
    int count = 0;
    for (int n = 0; n < 240; ++n)
    {
        const std::vector<cRun> runs = randomText(random);
        fmx::TextUniquePtr source = hostText(runs);
        std::string chars;
        for (const cRun &run : runs)
            for (const char16_t c : run.chars)
                if (c != u'\r')
                    chars += (chars.empty() ? "" : ",") + expectedOf(c, run.style).insert(1, "\"text\":" +
                                                                                           jsonString({c}) + ",");
        for (const cOptionSet &options : kOptionSets)
        {
            fmx::TextUniquePtr tags, classes, styles, html;
            tags->Assign(options.tags, fmx::Text::kEncoding_UTF8);
            classes->Assign(options.classes, fmx::Text::kEncoding_UTF8);
            styles->Assign(options.styles, fmx::Text::kEncoding_UTF8);
            vtl::html::transformRichtextToHTMLWithEvaluate(*source, *tags, *classes, *styles, session.Env(), *html);
            std::u16string units(html->GetSize(), u'\0');
            if (!units.empty())
                html->GetUnicode(reinterpret_cast<fmx::uint16 *>(&units[0]), 0, html->GetSize());
            std::string elements = "[";
            std::istringstream names(options.elements);
            for (std::string name; names >> name;)
            {
                for (char &c : name)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                elements += (elements.size() > 1 ? ",\"" : "\"") + name + "\"";
            }
            cases << "{\"id\":\"case " << n << " (" << options.name << ")\",\"elements\":" << elements
                  << "],\"html\":" << jsonString(units) << ",\"chars\":[" << chars << "]},\n";
            ++count;
        }
    }
    cases << "];\n";

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vantrel-browser-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "profile");
    const std::filesystem::path page = dir / "page.html";
    std::ofstream(page) << "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head>"
                           "<body style=\"font-family:serif;font-size:16px;color:#000\"><script>\n"
                        << cases.str() << kCheckScript << "</script></body></html>\n";

    std::string command = "timeout 120 " + chromium +
                          " --headless --disable-gpu --disable-quic --no-first-run --disable-background-networking"
                          " --disable-component-update --disable-sync --user-data-dir=" +
                          (dir / "profile").string() + (geteuid() == 0 ? " --no-sandbox" : "") + " --dump-dom file://" +
                          page.string() + " > " + (dir / "dom.html").string() + " 2> " + (dir / "browser.log").string();
    const int status = std::system(command.c_str());
    const std::string dom = readFile(dir / "dom.html");
    const std::string::size_type start = dom.find("<pre id=\"result\">");
    const std::string::size_type end = dom.find("</pre>", start);
    if (start == std::string::npos || end == std::string::npos)
    {
        const std::string log = readFile(dir / "browser.log");
        std::filesystem::remove_all(dir);
        if (required)
            FAIL() << "the browser gave no result (status " << status << "): " << log.substr(0, 2000);
        GTEST_SKIP() << "the browser cannot run here (status " << status << "): browser test skipped. "
                     << log.substr(0, 500);
    }
    std::filesystem::remove_all(dir);
    const std::string result = unescapeHtml(dom.substr(start + 17, end - start - 17));
    const std::string::size_type lineEnd = result.find('\n');
    EXPECT_EQ("", result.substr(lineEnd + 1)) << count << " outputs";
    // Every character of every case was looked at.
    EXPECT_GT(std::stoi(result.substr(8, lineEnd - 8)), 1000) << result.substr(0, lineEnd);
}
