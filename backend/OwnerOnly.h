#pragma once

#include <sys/types.h>

#include <string>

// What the back end and the runner keep is for the user who runs them
// alone: the databases hold the payment provider's and the cashier's
// secrets and the password hashes, the session folder the TLS key, the
// app's sandbox, the history and the shots. New files and folders are made
// so (with the modes of foundation's DataFile), and what is found open to
// others is closed to them at start.
namespace backend::OwnerOnly {

// The mask a program sets at start, so that whatever it and its libraries
// make is its user's alone.
inline constexpr mode_t kMask = 077;

// Takes every permission of the group and of others from `path` and, when
// it is a folder, from everything in it. A link is never followed (what it
// names, in the folder or out of it, is left as it is), and neither a file
// of another user nor what is no file or folder (a pipe, a device) is
// changed. What cannot be changed is let be.
void tighten(const std::string& path);
// The same for `path` alone, following a link to it (a folder named through
// a link is that folder); nothing in it is changed.
void tightenItself(const std::string& path);

}  // namespace backend::OwnerOnly
