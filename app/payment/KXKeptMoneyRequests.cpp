#include "app/payment/KXKeptMoneyRequests.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "app/payment/KXMoneyReadBack.h"
#include "app/shell/KXLocallyStoredData.h"
#include "foundation/DataFile.h"
#include "foundation/FileProblem.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "foundation/NSPathUtilities.h"

namespace KXKeptMoneyRequests {

namespace {

// What the file holds; `problem` says why nothing can be kept in it now
// (a damaged file that could not be set aside or closed in a new one).
struct Contents {
    std::vector<Kept> kept;
    std::vector<Closed> closed;
    std::optional<std::string> problem;
};

// The requests answered in this run whose entry could not be taken out of
// the file (a full disk, a folder that takes no change): their result is
// known, whatever the file still says, until a write takes them out.
std::vector<Dictionary>& answeredButKept() {
    static std::vector<Dictionary> answered;
    return answered;
}

std::optional<std::vector<std::string>> texts(const Value& value) {
    const Array* entries = value.array();
    if (!entries) return std::nullopt;
    std::vector<std::string> read;
    for (const Value& entry : *entries) {
        const std::string* text = entry.text();
        if (!text) return std::nullopt;
        read.push_back(*text);
    }
    return read;
}

Value textArray(const std::vector<std::string>& texts) {
    Array entries;
    for (const std::string& text : texts) entries.emplace_back(text);
    return Value(std::move(entries));
}

// The entries of a file that reads as kept requests; nothing when any part
// of it does not, for that part may be one.
std::optional<Contents> parse(const NSData& data) {
    const Value file = NSJSONSerialization::JSONObjectWithData(data);
    const Array* entries = file.array();
    if (!entries) return std::nullopt;
    Contents contents;
    for (const Value& entry : *entries) {
        const std::string* records = entry["records"].text();
        if (!records) return std::nullopt;
        if (const Dictionary* request = entry["request"].dictionary()) {
            Kept kept{*request, *records, std::nullopt};
            if (!entry["listedBefore"].isNil() && !(kept.listedBefore = texts(entry["listedBefore"])))
                return std::nullopt;
            contents.kept.push_back(std::move(kept));
            continue;
        }
        const std::string* file = entry["file"].text();
        const std::string* setAside = entry["setAside"].text();
        const std::string* damage = entry["damage"].text();
        const std::optional<std::vector<std::string>> openedFor = texts(entry["openedFor"]);
        const std::optional<std::int64_t> since = entry["since"].integer();
        if (!file || !setAside || !damage || !since || !openedFor) return std::nullopt;
        contents.closed.push_back({*records, *file, *setAside, *damage, static_cast<long long>(*since), *openedFor});
    }
    return contents;
}

std::optional<std::string> write(const Contents& contents) {
    Array entries;
    for (const Kept& one : contents.kept) {
        Dictionary entry{{"request", Value(one.request)}, {"records", Value(one.records)}};
        if (one.listedBefore) entry.set("listedBefore", textArray(*one.listedBefore));
        entries.emplace_back(std::move(entry));
    }
    for (const Closed& one : contents.closed)
        entries.emplace_back(Dictionary{{"records", Value(one.records)},
                                        {"file", Value(one.file)},
                                        {"setAside", Value(one.setAside)},
                                        {"damage", Value(one.damage)},
                                        {"since", Value(one.since)},
                                        {"openedFor", textArray(one.openedFor)}});
    const std::string path = filePath();
    const auto data = NSJSONSerialization::dataWithJSONObject(Value(std::move(entries)));
    // On the disk before a request goes out: a power loss must not undo the
    // keep of a request the back end may have had.
    const int error = data ? DataFile::writeToFileDurably(*data, path) : EINVAL;
    if (error == 0) {
        // Written from what read() gave, the file holds none of them now.
        answeredButKept().clear();
        return std::nullopt;
    }
    return "cannot write " + path + ": " + FileProblem::why(path, error);
}

// The names a damaged file is set aside as, in the order they are taken.
constexpr int kSetAsideNames = 1000;
std::string damagedName(const std::string& path, int attempt) {
    return path + ".damaged" + (attempt == 1 ? "" : "-" + std::to_string(attempt));
}

// Moves the damaged file to a free name beside it, never over another
// file; the name, or why it could not be moved.
std::string setAsideName(const std::string& path, std::optional<std::string>& problem) {
    for (int attempt = 1; attempt < kSetAsideNames; ++attempt) {
        const std::string name = damagedName(path, attempt);
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) return name;
        if (errno != EEXIST) {
            problem = "cannot set aside " + path + ": " + FileProblem::why(path, errno);
            return "";
        }
    }
    problem = "cannot set aside " + path + ": too many damaged files beside it";
    return "";
}

// When `path` was last written, in seconds since 1970; never later than
// now (a clock set wrong then would keep the lists closed until that date).
long long lastWritten(const std::string& path) {
    struct stat status {};
    const long long now = std::time(nullptr);
    return ::stat(path.c_str(), &status) == 0 ? std::min<long long>(status.st_mtim.tv_sec, now) : now;
}

// Every list a damaged file may concern closed, the file set aside as `name`.
Contents closedFor(const std::string& path, const std::string& name, const std::string& damage, long long since) {
    Contents contents;
    for (const std::string& records : KXMoneyReadBack::listsOfKeptActions())
        contents.closed.push_back({records, path, name, damage, since, {}});
    return contents;
}

// A damaged file set aside without the new file written in its place (the
// app ended between the two): the latest name it was set aside as.
std::optional<std::string> setAsideAlone(const std::string& path) {
    std::optional<std::string> latest;
    struct stat status {};
    for (int attempt = 1; attempt < kSetAsideNames && ::lstat(damagedName(path, attempt).c_str(), &status) == 0;
         ++attempt)
        latest = damagedName(path, attempt);
    return latest;
}

// The file is there but cannot be read as kept requests: it is set aside
// and every list it may concern is closed, in a new file.
Contents setAside(const std::string& damage) {
    const std::string path = filePath();
    const long long since = lastWritten(path);
    std::optional<std::string> problem;
    const std::string name = setAsideName(path, problem);
    Contents contents = closedFor(path, name, damage, since);
    contents.problem = problem;
    if (!contents.problem && (contents.problem = write(contents))) {
        // Not closed in a new file, the damaged one goes back where the
        // next use finds it again.
        ::renameat2(AT_FDCWD, name.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
        for (Closed& one : contents.closed) one.setAside.clear();
    }
    NSLog("The money requests of unknown result in %@ are damaged (%@): %@", Value(path), Value(damage),
          Value(contents.problem.value_or("set aside as " + name)));
    return contents;
}

Contents read() {
    const std::string path = filePath();
    int error = 0;
    const auto data = DataFile::dataWithContentsOfFile(path, &error);
    // No file, or a folder: nothing was kept there, and keeping will say
    // what is in the way. Anything else that is no file (a pipe, a device)
    // took the file's place and is set aside as a damaged file is.
    if (!data && error == ENOENT) {
        const std::optional<std::string> alone = setAsideAlone(path);
        if (!alone) return {};
        Contents contents = closedFor(path, *alone, "set aside with nothing written in its place", lastWritten(*alone));
        contents.problem = write(contents);
        return contents;
    }
    if (!data && error == EISDIR) return {};
    if (!data && error == EINVAL) return setAside("it is no file but a pipe or a device");
    if (!data) return setAside(FileProblem::why(path, error, FileProblem::Doing::Reading));
    if (auto contents = parse(*data)) {
        // Answered in this run, they are known, whatever the file says.
        std::erase_if(contents->kept, [](const Kept& one) {
            return std::ranges::find(answeredButKept(), one.request) != answeredButKept().end();
        });
        return *std::move(contents);
    }
    return setAside("it does not read as the requests kept: cut short or overwritten");
}

std::string signedIn() { return KXLocallyStoredData::getLoginUserID(); }

}  // namespace

std::string filePath() {
    const auto library = NSSearchPathForDirectoriesInDomains(NSLibraryDirectory, NSUserDomainMask, true);
    return (library.empty() ? NSHomeDirectory() : library.front()) + "/MoneyRequestsOfUnknownResult.json";
}

std::optional<std::string> keep(const Kept& kept) {
    Contents contents = read();
    if (contents.problem) return contents.problem;
    if (std::ranges::any_of(contents.kept, [&](const Kept& one) { return one.request == kept.request; }))
        return std::nullopt;
    contents.kept.push_back(kept);
    // The write also takes out what was answered in this run: until it can,
    // nothing new is kept, nor sent.
    if (auto problem = write(contents)) {
        if (answeredButKept().empty()) return problem;
        return *problem + " (a request already answered is still kept there)";
    }
    return std::nullopt;
}

void forget(const Dictionary& request) {
    Contents contents = read();
    if (contents.problem) return;
    if (std::erase_if(contents.kept, [&](const Kept& one) { return one.request == request; }) == 0) return;
    // Not written, it stays in the file: this run remembers its result, and
    // keeps nothing new until a write has taken it out (keep).
    if (auto problem = write(contents)) {
        answeredButKept().push_back(request);
        NSLog("A money request whose result is known stays kept: %@", Value(*problem));
    }
}

std::optional<Kept> asking(const Dictionary& query) {
    const Dictionary wanted = KXMoneyReadBack::does(query);
    for (Kept& one : read().kept)
        if (KXMoneyReadBack::does(one.request) == wanted) return std::move(one);
    return std::nullopt;
}

std::vector<Kept> ofSignedInPromoter() {
    std::vector<Kept> kept = read().kept;
    const std::string uid = signedIn();
    std::erase_if(kept, [&](const Kept& one) { return one.request["uid"].description() != uid || uid.empty(); });
    return kept;
}

std::vector<Closed> closedForSignedInPromoter() {
    std::vector<Closed> closed = read().closed;
    const std::string uid = signedIn();
    std::erase_if(closed, [&](const Closed& one) { return std::ranges::find(one.openedFor, uid) != one.openedFor.end(); });
    return closed;
}

bool open(const std::string& records) {
    Contents contents = read();
    if (contents.problem) return false;
    const std::string uid = signedIn();
    for (Closed& one : contents.closed)
        if (one.records == records && std::ranges::find(one.openedFor, uid) == one.openedFor.end())
            one.openedFor.push_back(uid);
    return !write(contents);
}

}  // namespace KXKeptMoneyRequests
