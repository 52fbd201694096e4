#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The runner's session folder. The runner marks a folder it made with a
// ".velmaro-session" file, and --fresh empties only a marked folder: pointing
// --data at a folder of one's own (a home folder, say) and asking for a fresh
// session must never delete it. A running session holds its folder alone:
// a second session on it, fresh or not, is refused while the first runs.
class SessionFolder {
public:
    static constexpr const char* kMarkName = ".velmaro-session";

    // A session's hold on its folder: an exclusive lock on the folder
    // itself, which the system drops when the process ends, so a session
    // that crashed never blocks the folder. Released when destroyed.
    class Hold {
    public:
        Hold() = default;
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

        // That the folder held is gone: its path names no folder now, or
        // another one (it was removed, or replaced, while the session ran);
        // nothing while it is there, or when nothing is held.
        std::optional<std::string> gone() const;

    private:
        friend class SessionFolder;
        int folder_ = -1;
        std::string path_;
    };

    // Makes `path` ready for a session and holds it in `hold`, refusing it
    // while another session holds it ("a session is using PATH: ..."): with
    // `fresh`, a marked folder is emptied first (its mark stays, so that a
    // kill part-way leaves a folder --fresh still empties). A missing or
    // empty folder is made and marked; the folders above it only with
    // `makeParents`, else one missing is refused as a mistyped path.
    // Answers the reason when the folder cannot be used.
    static std::optional<std::string> prepare(const std::string& path, bool fresh, Hold& hold,
                                              bool makeParents = false);

    // Closes to others (backend::OwnerOnly::tighten) what the session keeps
    // in the folder `path`, its `kept` files and folders with all in them,
    // and the folder itself when it is marked as the runner's: a folder
    // kept from before the session's files were made for their owner alone
    // is closed at the start.
    static void keepPrivate(const std::string& path, const std::vector<std::string>& kept);

    // Writes `bytes` to the file `path` whole, or leaves it as it was: they
    // go to a new file beside it, which then takes its place (a new `path`
    // is its owner's alone). Answers why not (`path` and the cause named,
    // as a full disk), leaving no file behind.
    static std::optional<std::string> writeFile(const std::string& path, std::string_view bytes);
    // The same for a file that `write` writes, given the path of the new
    // file (made empty, for its owner only) and answering 0 or the errno
    // of its failure.
    static std::optional<std::string> writeFile(const std::string& path,
                                                const std::function<int(const std::string& written)>& write);

    // Removes the new files that writes of `path` killed part-way left
    // beside it; called before this session writes `path` (no other session
    // writes in its folder).
    static void removeLeftovers(const std::string& path);

    // Writes `bytes` as the next picture file of `folder`: the first
    // `name(n)`, for n after `last`, that no file has yet. The picture is
    // written whole under a hidden name first, then linked to its number,
    // never over a file there: a number taken meanwhile is passed over, and
    // a session killed while it writes leaves no numbered file. `folder` is made when missing, but not the folders above it (a
    // session folder removed under the session is not made anew). Answers
    // the path and sets `last` to n; nothing, with `error` set, when the
    // picture cannot be written.
    static std::optional<std::string> writeNumberedFile(const std::string& folder,
                                                        const std::function<std::string(int)>& name, int& last,
                                                        std::string_view bytes, std::string& error);
};
