#include "errors/AllowListReport.h"

#include <map>

#include "errors/AllowListLines.h"

namespace vtl
{
using namespace allowlist;

const char *const kAllowListMissing = "zeqPluginsAllowedFunctions.txt doesn't exists";
const char *const kAllowListUnreadable =
    "Could not open file zeqPluginsAllowedFunctions.txt, please check permissions and try again";
const char *const kAllowListNoLine = "File zeqPluginsAllowedFunctions.txt is empty";
const char *const kAllowListParseError =
    "Could not parse file zeqPluginsAllowedFunctions.txt, please check formating and try again";
const char *const kAllowListLineTooLong =
    "Could not parse file zeqPluginsAllowedFunctions.txt, a line is longer than 65536 bytes";
const char *const kAllowListUnknownOption =
    "Could not parse file zeqPluginsAllowedFunctions.txt, unknown option in its /options line";
const char *const kShellCommandName = "Vantrel_DoBashCmd";

std::string NotAllowedMessage(std::string_view functionName)
{
    std::string message = "Function ";
    message.append(functionName.data(), functionName.size());
    message += " is not allowed on this server";
    return message;
}

std::vector<std::string> split(const std::string &text, const std::string &separator)
{
    std::vector<std::string> items;
    ForEachItem(text, separator, [&](std::string_view item) {
        items.emplace_back(item);
        return true;
    });
    return items;
}

namespace
{
const char *MalformedMessage(eEnd why)
{
    switch (why)
    {
    case eEnd::kLineTooLong:
        return kAllowListLineTooLong;
    case eEnd::kUnknownOption:
        return kAllowListUnknownOption;
    default:
        return kAllowListParseError;
    }
}
}

cAllowListReport ReadAllowListReport(int fd)
{
    cAllowListReport report;
    cParse parse;
    std::map<std::string, std::size_t, std::less<>> firstLines; // file name without the extension -> its line
    cLineReader reader(fd, -1);
    ReadLines(
        reader, parse,
        [&](std::size_t index, std::string_view name, std::string_view list) {
            cAllowListReport::cFile file;
            file.line = index + 1;
            file.name = std::string(name);
            std::string_view key = name;
            if (key.size() > kExtension.size() && key.substr(key.size() - kExtension.size()) == kExtension)
                key.remove_suffix(kExtension.size());
            const auto first = firstLines.emplace(std::string(key), file.line);
            if (!first.second)
                file.shadowedBy = first.first->second;
            else if (list.empty())
                report.malformed.push_back(
                    {file.line, kAllowListParseError, "the list of functions is empty", false});
            bool head = true;
            ForEachItem(list, "|", [&](std::string_view item) {
                if (head && item == "any")
                    file.anyFunction = true;
                else if (!item.empty())
                    file.functions.emplace_back(item);
                head = false;
                return !file.anyFunction;
            });
            report.files.push_back(std::move(file));
            return true;
        },
        [&](std::size_t index, eEnd why, const std::string &detail) {
            report.malformed.push_back({index + 1, MalformedMessage(why),
                                        why == eEnd::kLineTooLong ? detail + "; the lines after it are not read"
                                                                  : detail,
                                        true});
            return why != eEnd::kLineTooLong;
        });
    report.options = DescribeAllowListOptions(parse.options);
    return report;
}
} // namespace vtl
