// Host error codes that the emulator's SQL engine answers, in FileMaker's 83xx SQL range.
// docs/functions.md lists them for FileMaker developers; keep the two in step.
#ifndef FMHOST_SQL_SQLERRORS_H
#define FMHOST_SQL_SQLERRORS_H

namespace emu {
namespace sqlerr {

constexpr short kOther = 8300;              // any other failure of the SQL engine (constraint, type, I/O, ...)
constexpr short kBusy = 8301;               // the database stayed locked by another connection past the time-out
constexpr short kNoSuchFile = 8302;         // no hosted file of that name is open in the session
constexpr short kNoDatabase = 8303;         // the hosted file is not backed by an SQL database
constexpr short kParameterCount = 8304;     // the number of parameters differs from the number of placeholders
constexpr short kSeveralStatements = 8305;  // the query holds more than one statement
constexpr short kUnknownName = 8309;        // unknown table, column or function
constexpr short kSyntax = 8310;             // the query is not valid SQL (an empty query included)

}  // namespace sqlerr
}  // namespace emu

#endif
