#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The runner's session folder. The runner marks a folder it made with a
// ".velmaro-session" file, and --fresh empties only a marked folder: pointing
// --data at a folder of one's own (a home folder, say) and asking for a fresh
// session must never delete it. A running session holds its folder: several
// sessions may run on one folder at once, and --fresh empties it only when
// none does.
class SessionFolder {
public:
    static constexpr const char* kMarkName = ".velmaro-session";

    // A session's hold on its folder: a shared lock on the folder itself,
    // which the system drops when the process ends, so a session that
    // crashed never blocks the folder. Released when destroyed.
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

    // Makes `path` ready for a session and holds it in `hold`: with `fresh`,
    // a marked folder is emptied first, unless a session holds it. A missing
    // or empty folder is made and marked. Answers the reason when the folder
    // cannot be used.
    static std::optional<std::string> prepare(const std::string& path, bool fresh, Hold& hold);

    // Claims the next picture file of `folder` (made if missing): the first
    // `name(n)`, for n after `last`, that no file has yet. The file is
    // created empty and exclusively, so that two sessions on one folder
    // never get the same name: the second one asking takes the next number.
    // Answers the path and sets `last` to n; nothing, with `error` set, when
    // no file can be made.
    // Writes `bytes` to the file `path` whole, or leaves it as it was: they
    // go to a new file beside it, which then takes its place. Answers why
    // not (the cause named, as a full disk), leaving no file behind.
    static std::optional<std::string> writeFile(const std::string& path, std::string_view bytes);

    static std::optional<std::string> claimNumberedFile(const std::string& folder,
                                                        const std::function<std::string(int)>& name, int& last,
                                                        std::string& error);
};
