#pragma once

#include <optional>
#include <string>

#include "backend/Statement.h"

namespace backend {

// Why the database file `path` cannot keep the back end's data, in words
// naming what strikes it: its folder not to be entered or written (SQLite
// writes its journal beside the file), the file not to be written or read,
// a full disk, or a damaged database. `error`,
// the failure met (when given), tells of a disk that filled while SQLite
// wrote, whose room the rollback gave back. Nothing when none is so.
std::optional<std::string> databaseProblem(const std::string& path, const DatabaseError* error = nullptr);

// The same, found without opening the file: all but damage. What a start
// checks before it makes any file, so that a start it refuses leaves none,
// and what names the cause of a change that could not be stored. SQLite's
// companions of the file (its journal `-wal` and index `-shm`) are named
// when they are there and no regular file, or a link (to nothing, or to a
// file: SQLite opens neither through a link).
std::optional<std::string> storageProblem(const std::string& path, const DatabaseError* error = nullptr);

// Whether `error` is the storage failing (the disk, the file, its
// companions), rather than the database's content.
bool isStorageFailure(const DatabaseError& error);

// `what` ("cannot open FILE"), followed by ": " and the file's problem when
// one is found.
std::string withDatabaseProblem(std::string what, const std::string& path, const DatabaseError* error = nullptr);

// How the problem of a damaged database ends ("the database backend.db is
// damaged"), which only starting the file again mends.
inline constexpr const char* kDamagedDatabase = " is damaged";

// What a damaged database file starts again with once set aside.
enum class StartsAgain { FromDemoData, Empty };

// What mends the damaged database `path`: setting that file aside, which
// keeps everything else beside it (the other database, the stored sign-in,
// the shots); the next session makes it anew. Begins with ": ".
std::string setAside(const std::string& path, StartsAgain startsAgain);

}  // namespace backend
