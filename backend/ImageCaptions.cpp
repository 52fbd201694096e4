#include "backend/ImageCaptions.h"

#include <array>
#include <regex>

#include "backend/Database.h"

namespace backend {

namespace {

// An address family: its pattern (the first group is the record's number)
// and the query that answers the record's caption.
struct CaptionSource {
    std::regex pattern;
    const char* query;
};

const std::vector<CaptionSource>& captionSources() {
    static const std::vector<CaptionSource> sources = {
        {std::regex(R"(icon/game-(\d{1,9}))"), "SELECT name FROM games WHERE id = ?"},
        {std::regex(R"(shot/game-(\d{1,9})-\d{1,3})"), "SELECT name FROM games WHERE id = ?"},
        {std::regex(R"(head/promoter-(\d{1,9}))"), "SELECT username FROM promoters WHERE id = ?"},
        {std::regex(R"(menu/group-(\d{1,9}))"), "SELECT title FROM menu_groups WHERE id = ?"},
        {std::regex(R"(menu/(\d{1,9}))"), "SELECT name FROM menu_items WHERE type = ? ORDER BY id LIMIT 1"},
        {std::regex(R"(notice/(\d{1,9}))"), "SELECT title FROM notices WHERE id = ?"},
        {std::regex(R"(gift/(\d{1,9}))"),
         "SELECT games.name FROM gift_bags JOIN games ON games.id = gift_bags.game_id WHERE gift_bags.id = ?"},
    };
    return sources;
}

}  // namespace

std::optional<std::string> imageCaption(Database& database, std::string_view path) {
    const std::string address(path);
    std::smatch match;
    static const std::regex medal(R"(rank/medal-(\d{1,2}))");
    if (std::regex_match(address, match, medal)) return match[1].str();
    // A settlement's state: under review, settled, refused.
    static const std::regex settlementState(R"(settlement/state-(\d))");
    if (std::regex_match(address, match, settlementState)) {
        static const std::array<const char*, 3> kStateMarks = {"审", "结", "驳"};
        const auto state = static_cast<std::size_t>(match[1].str()[0] - '0');
        if (state < kStateMarks.size()) return kStateMarks[state];
        return std::nullopt;
    }
    // The publisher's logo on the contact page: the app icon's character.
    if (address == "kefu/logo") return "推";
    for (const CaptionSource& source : captionSources()) {
        if (!std::regex_match(address, match, source.pattern)) continue;
        Statement query = database.prepare(source.query);
        query.bind({std::stoll(match[1].str())});
        if (query.step()) return query.text(0);
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace backend
