// The reports of fmhost --test: JUnit XML for CI servers, TAP for TAP harnesses.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace fmhost
{
// One checked calculation or command of a test file.
struct cTestCase
{
    int line = 0;
    std::string name;        // unique within its file, the same from run to run
    std::string calculation; // as written, lines joined with line feeds
    std::string failure;     // "expected ..., got ..."; empty when it passed
    double seconds = 0;
};

struct cTestFile
{
    std::string path;
    std::string timestamp; // when the file started to run: local time, ISO 8601 without zone
    double seconds = 0;
    std::vector<cTestCase> cases;
};

// The JUnit XML report of the files: well-formed whatever the files and the results hold (characters XML cannot
// carry are written as \uXXXX, bytes that are not UTF-8 as \xXX).
std::string junitReport(const std::vector<cTestFile> &files);

// The calculation on one line of a report: even line breaks within texts and after comments become spaces.
std::string oneLine(const std::string &calculation);

// The current local time as the JUnit report's timestamps carry it: 2026-12-31T13:05:00.
std::string isoTimestamp();

// TAP version 13, written as the results come.
class cTapWriter
{
public:
    explicit cTapWriter(std::ostream &out);
    void result(const cTestFile &file, const cTestCase &test);
    // The plan (tests are counted as they run, so it comes last) and the summary as a comment.
    void finish(std::size_t passed, std::size_t failed);

private:
    std::ostream &out_;
    std::size_t count_ = 0;
};
} // namespace fmhost
