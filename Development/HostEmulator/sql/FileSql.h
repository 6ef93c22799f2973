// SQL on hosted files: a hosted file may be backed by an SQLite database, on which FM_ExprEnv_ExecuteFileSQL runs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/Sql.h"

namespace emu {

class cSqlDatabase;

// Opens the database behind a hosted file, once, when the file is opened (HostedFile::database); the file's
// closing closes it. Throws std::runtime_error naming the path when it is not an existing SQLite database.
std::shared_ptr<cSqlDatabase> OpenFileDatabase(const std::string &path);

// The SQL engine's side of core/Sql.h (emu::ExecuteSQL): runs the query on the database of the hosted file
// `fileName` of env's session (empty: the calling file) with the parameters bound in order to its `?` placeholders,
// and fills `rows` with one DataVect per result row. Values take their type from SQLite: integer and real as numbers,
// text as text, NULL as an empty text, blob as a container. Answers 0, or an sqlerr code (SqlErrors.h) with `rows`
// left empty. Throws std::bad_alloc when memory runs out.

} // namespace emu
