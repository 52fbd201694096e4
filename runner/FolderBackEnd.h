#pragma once

#include <memory>
#include <string>

#include "backend/LocalBackend.h"

// The back end a session folder's sessions talk to, kept from one session to
// the next: the stored sign-in holds an address on the back end it was made
// with (the avatar's), so a later session on the folder starts the local back
// end on the same port when that is free, and points the stored avatar at
// the back end now serving when it names another.
namespace FolderBackEnd {

// The local back end, keeping its data in the folder (what a session
// changes is there in the next one, until --fresh empties the folder), on
// the port of the address the folder's last session used when that is
// free, else on any free port; null when it does not start, with `failure`
// (when given) saying why: the file of the folder it could not use and what
// keeps it from that (a folder or file it may not write, a full disk, a
// damaged database, which setting that file aside mends).
std::unique_ptr<backend::LocalBackend> startLocal(const std::string& folder, std::string* failure = nullptr);

// The file in `folder` where the back end's address is recorded.
std::string recordPath(const std::string& folder);

// The folder in `folder` where the local back end keeps its data: its
// database, the analytics collector's beside it, the stand-ins' TLS identity.
std::string storageFolder(const std::string& folder);

// Records `baseURL`, ending in "/" as every address of the service does
// (KXServiceAddress::asBase), as the folder's back end, and moves the stored sign-in's
// avatar address to it when the avatar is the folder's last back end's: when
// it names the address that back end was reached at, or when a sign-in
// during the last session stored it (the back end gave its own address,
// whatever host spelling or relay the session reached it through). Runs with
// the app's sandbox set, before the app starts.
void use(const std::string& folder, const std::string& baseURL);

}  // namespace FolderBackEnd
