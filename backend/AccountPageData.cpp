#include "backend/AccountPageData.h"

#include "backend/Statement.h"

namespace backend {

namespace {

constexpr const char* kAccountPageSchema = R"sql(
CREATE TABLE IF NOT EXISTS promoter_profiles (
    promoter_id INTEGER PRIMARY KEY REFERENCES promoters(id),
    pal TEXT NOT NULL DEFAULT '', phone TEXT NOT NULL DEFAULT '', email TEXT NOT NULL DEFAULT '',
    bank_id TEXT NOT NULL DEFAULT '', bank_user TEXT NOT NULL DEFAULT '', address TEXT NOT NULL DEFAULT '');
)sql";

}  // namespace

void installAccountPageData(Database& database) {
    database.execute(kAccountPageSchema);
    if (database.scalar("SELECT COUNT(*) FROM promoter_profiles") > 0) return;
    database.execute("INSERT INTO promoter_profiles (promoter_id) SELECT id FROM promoters");
    database.execute("UPDATE promoter_profiles SET pal = 'demo_pal', phone = '13800138000'"
                     " WHERE promoter_id = (SELECT id FROM promoters WHERE username = 'demo')");
    database.execute("UPDATE promoter_profiles SET pal = 'liming_pal', phone = '13912345678',"
                     " email = 'liming@example.com', bank_id = 'liming@alipay.example', bank_user = '李明',"
                     " address = '北京市东城区东长安街1号'"
                     " WHERE promoter_id = (SELECT id FROM promoters WHERE username = 'liming')");
}

}  // namespace backend
