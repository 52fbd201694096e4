#include "backend/PromoterNames.h"

#include <utility>
#include <vector>

#include "backend/DemoData.h"
#include "backend/TypedText.h"

namespace backend {

void installNameKeys(Database& database) {
    if (database.scalar("SELECT COUNT(*) FROM pragma_table_info('promoters') WHERE name = 'name_key'") == 0) {
        database.execute("ALTER TABLE promoters ADD COLUMN name_key TEXT");
    }
    database.execute("CREATE INDEX IF NOT EXISTS promoters_by_name_key ON promoters (name_key)");
    std::vector<std::pair<long long, std::string>> unkeyed;
    Statement rows = database.prepare("SELECT id, username FROM promoters WHERE name_key IS NULL");
    while (rows.step()) unkeyed.emplace_back(rows.integer(0), rows.text(1));
    for (const auto& [id, name] : unkeyed) {
        database.prepare("UPDATE promoters SET name_key = ? WHERE id = ?").bind({identityKey(name), id}).step();
    }
}

bool nameIsTaken(Database& database, const std::string& name) {
    return database.scalar("SELECT EXISTS (SELECT 1 FROM promoters WHERE name_key = ?)", {identityKey(name)}) != 0;
}

long long addPromoterAccount(Database& database, const std::string& name, const std::string& password) {
    database
        .prepare("INSERT INTO promoters (username, name_key, password_hash, nickname, head, account_kind, prepaid_cents,"
                 " withdrawn_cents) VALUES (?, ?, ?, ?, '', 1, 0, 0)")
        .bind({name, identityKey(name), passwordHash(name, password), name})
        .step();
    const long long id = database.lastInsertId();
    database.prepare("UPDATE promoters SET head = ? WHERE id = ?")
        .bind({"static/head/promoter-" + std::to_string(id) + ".png", id})
        .step();
    return id;
}

std::string storedNameOf(Database& database, const std::string& typed) {
    if (database.scalar("SELECT EXISTS (SELECT 1 FROM promoters WHERE username = ?)", {typed}) != 0) return typed;
    Statement named = database.prepare("SELECT username FROM promoters WHERE name_key = ? LIMIT 2");
    named.bind({identityKey(typed)});
    if (!named.step()) return typed;
    std::string name = named.text(0);
    // A key two rows stored before share names neither of them.
    return named.step() ? typed : name;
}

}  // namespace backend
