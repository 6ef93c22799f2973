#include "fmhost/TestReports.h"

#include "fmhost/Output.h"
#include "fmhost/ScriptReader.h"
#include "fmhost/Utf8.h"

#include <cstdio>
#include <ctime>
#include <sstream>

namespace fmhost
{
namespace
{
// The characters XML 1.0 allows.
bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Escaped for attribute values and element content alike.
std::string xmlEscaped(const std::string &text)
{
    std::string out;
    char hex[16];
    for (std::size_t at = 0; at < text.size();)
    {
        const std::size_t start = at;
        char32_t c = 0;
        if (!nextUtf8Character(text, at, c))
        {
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(text[start]));
            out += hex;
            continue;
        }
        switch (c)
        {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r': out += "&#13;"; break;
        case '\n': out += "&#10;"; break;
        case '\t': out += "&#9;"; break;
        default:
            if (isXmlCharacter(c))
                out.append(text, start, at - start);
            else
            {
                std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
                out += hex;
            }
        }
    }
    return out;
}

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::size_t failures(const cTestFile &file)
{
    std::size_t failed = 0;
    for (const cTestCase &test : file.cases)
        failed += test.failure.empty() ? 0 : 1;
    return failed;
}

// TAP descriptions end at the line's end, and a "#" in them would start a directive.
std::string tapDescription(const std::string &text)
{
    std::string out;
    for (char c : text)
    {
        if (c == '#' || c == '\\')
            out += '\\';
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
    return out;
}
} // namespace

std::string oneLine(const std::string &calculation)
{
    std::string line = calculationOnOneLine(calculation);
    for (char &c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    return line;
}

std::string isoTimestamp()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

std::string junitReport(const std::vector<cTestFile> &files)
{
    std::size_t tests = 0, failed = 0;
    double total = 0;
    std::ostringstream suites;
    for (const cTestFile &file : files)
    {
        const std::string path = xmlEscaped(file.path);
        suites << "  <testsuite name=\"" << path << "\" tests=\"" << file.cases.size() << "\" failures=\""
               << failures(file) << "\" errors=\"0\" skipped=\"0\" time=\"" << seconds(file.seconds)
               << "\" timestamp=\"" << file.timestamp << "\">\n";
        for (const cTestCase &test : file.cases)
        {
            suites << "    <testcase classname=\"" << path << "\" name=\"" << xmlEscaped(test.name) << "\" time=\""
                   << seconds(test.seconds) << "\"";
            if (test.failure.empty())
            {
                suites << "/>\n";
                continue;
            }
            suites << ">\n      <failure message=\"" << xmlEscaped(test.failure) << "\">"
                   << xmlEscaped(file.path + ":" + std::to_string(test.line) + ": " + test.calculation + "\n" +
                                 test.failure)
                   << "</failure>\n    </testcase>\n";
        }
        suites << "  </testsuite>\n";
        tests += file.cases.size();
        failed += failures(file);
        total += file.seconds;
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"fmhost\" tests=\"" + std::to_string(tests) +
           "\" failures=\"" + std::to_string(failed) + "\" errors=\"0\" time=\"" + seconds(total) + "\">\n" +
           suites.str() + "</testsuites>\n";
}

cTapWriter::cTapWriter(std::ostream &out) : out_(out) { out_ << "TAP version 13\n"; }

void cTapWriter::result(const cTestFile &file, const cTestCase &test)
{
    ++count_;
    out_ << (test.failure.empty() ? "ok " : "not ok ") << count_ << " - " << tapDescription(file.path) << ": "
         << tapDescription(test.name) << '\n';
    if (!test.failure.empty())
        // A JSON string is a YAML string too.
        out_ << "  ---\n  message: " << jsonString(test.failure) << "\n  at: "
             << jsonString(file.path + ":" + std::to_string(test.line)) << "\n  calculation: "
             << jsonString(oneLine(test.calculation)) << "\n  ...\n";
    out_.flush();
}

void cTapWriter::finish(std::size_t passed, std::size_t failed)
{
    out_ << "1.." << count_ << "\n# " << passed << " passed, " << failed << " failed" << std::endl;
}
} // namespace fmhost
