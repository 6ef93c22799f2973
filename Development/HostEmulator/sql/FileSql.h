// SQL on hosted files: a hosted file may be backed by an SQLite database, on which FM_ExprEnv_ExecuteFileSQL runs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/Session.h"
#include "core/Value.h"

namespace emu {

class cSqlDatabase;

// Opens the database behind a hosted file, once, when the file is opened (HostedFile::database); the file's
// closing closes it. Throws std::runtime_error naming the path when it is not an existing SQLite database.
std::shared_ptr<cSqlDatabase> OpenFileDatabase(const std::string &path);

// What FM_ExprEnv_ExecuteFileSQL does: runs `query` on the database of the hosted file `fileName` of env's session
// (empty: the calling file) with `parameters` bound in order to its `?` placeholders, and replaces the content of
// `rows` with one DataVect per result row. Values take their type from SQLite: integer and real as numbers, text as
// text, NULL as an empty text, blob as a container. Answers 0, or an sqlerr code (SqlErrors.h) with `rows` left
// empty. Throws std::bad_alloc when memory runs out.
int16_t ExecuteFileSQL(const Environment &env, const Text &query, const Text &fileName, const DataVect &parameters,
                       RowVect &rows);

} // namespace emu
