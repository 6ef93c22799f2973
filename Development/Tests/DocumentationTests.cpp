// The function reference against the function table: every registered function has its entry with every heading,
// its Format is the prototype FileMaker shows, and the page documents no function that does not exist.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "frame/FunctionTable.h"

namespace
{
std::string ReadReference()
{
    std::ifstream in(VANTREL_SOURCE_DIR "/docs/functions.md");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string NameOf(const char *prototype)
{
    const std::string text(prototype);
    return text.substr(0, text.find('('));
}

// The link target a Markdown renderer gives the heading "### name".
std::string AnchorOf(const std::string &name)
{
    std::string anchor = name;
    for (char &c : anchor)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return anchor;
}

// The entry of a function: from its heading to the next heading of the same or a higher level.
std::string EntryOf(const std::string &reference, const std::string &name)
{
    const std::string heading = "\n### " + name + "\n";
    const std::size_t start = reference.find(heading);
    if (start == std::string::npos)
        return "";
    std::size_t end = reference.find("\n## ", start + 1);
    end = std::min(end, reference.find("\n### ", start + 1));
    return reference.substr(start, end == std::string::npos ? std::string::npos : end - start);
}
}

TEST(FunctionReference, EveryRegisteredFunctionHasAFullEntry)
{
    const std::string reference = ReadReference();
    ASSERT_FALSE(reference.empty());
    const char *const kHeadings[] = {"**Format**",      "**Parameters**",  "**Data type returned**",
                                     "**Originated in**", "**Allow-list entry**", "**Description**",
                                     "**Errors**",      "**Examples**"};
    for (std::size_t i = 0; i < vtl::FunctionTableSize(); ++i)
    {
        const char *prototype = vtl::FunctionTable()[i].prototype;
        const std::string name = NameOf(prototype);
        const std::string entry = EntryOf(reference, name);
        ASSERT_FALSE(entry.empty()) << name << " has no entry";
        EXPECT_NE(entry.find("**Format** `" + std::string(prototype) + "`"), std::string::npos)
            << name << ": the Format is not the registered prototype " << prototype;
        for (const char *heading : kHeadings)
            EXPECT_NE(entry.find(heading), std::string::npos) << name << " lacks " << heading;
        EXPECT_NE(entry.find("```fmcalc"), std::string::npos) << name << " has no executed example";
        EXPECT_NE(reference.find("[" + name + "](#" + AnchorOf(name) + ")"), std::string::npos)
            << name << " is missing from the index";
    }
}

TEST(FunctionReference, DocumentsNoFunctionThatIsNotRegistered)
{
    std::set<std::string> registered;
    for (std::size_t i = 0; i < vtl::FunctionTableSize(); ++i)
        registered.insert(NameOf(vtl::FunctionTable()[i].prototype));
    const std::string reference = ReadReference();
    const std::regex heading("\n### (Vantrel_\\w+)\n");
    std::size_t entries = 0;
    for (auto it = std::sregex_iterator(reference.begin(), reference.end(), heading); it != std::sregex_iterator();
         ++it, ++entries)
        EXPECT_EQ(1u, registered.count((*it)[1])) << (*it)[1] << " is documented but not registered";
    EXPECT_EQ(registered.size(), entries);
}
