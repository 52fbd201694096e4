#pragma once

#include <memory>
#include <string>

#include "backend/LocalBackend.h"

// The back end a session folder's sessions talk to, kept from one session to
// the next: the stored sign-in holds addresses on the back end it was made
// with (the avatar's), so a later session on the folder starts the local back
// end on the same port when that is free, and points the stored addresses at
// its own back end when it is not.
namespace FolderBackEnd {

// The local back end, on the port of the address the folder's last session
// used when that is free, else on any free port; null when it does not start.
std::unique_ptr<backend::LocalBackend> startLocal(const std::string& folder);

// Records `baseURL` as the folder's back end, and moves the stored sign-in's
// avatar address from the one the folder used before to it. Runs with the
// app's sandbox set, before the app starts.
void use(const std::string& folder, const std::string& baseURL);

}  // namespace FolderBackEnd
