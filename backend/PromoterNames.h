#pragma once

#include <string>

#include "backend/Database.h"

namespace backend {

// A promoter's account name is one identity however it is spelled: rows
// keep their name as stored and, beside it in `name_key`, its identity key
// (identityKey), by which names are looked up and kept unique.

// Adds the key column to a database written without it and fills the key of
// every row that has none (rows stored before, seeded rows).
void installNameKeys(Database& database);

// Whether a row's name is `name` by its key: a new account may not have it.
bool nameIsTaken(Database& database, const std::string& name);

// Adds a promoter account (a sub-promoter's) named and nicknamed `name`,
// with its key, the password and its own head picture; answers its id.
long long addPromoterAccount(Database& database, const std::string& name, const std::string& password);

// The name, as stored, of the account a sign-in names: the row spelled as
// typed, else the one row whose key is the typed name's key; else the name
// as typed (which names no account).
std::string storedNameOf(Database& database, const std::string& typed);

}  // namespace backend
