#include "backend/SignedRequests.h"

#include "backend/Signature.h"

namespace backend {

void installSignedRequestsTable(Database& database) {
    // A file from before the action was part of the key holds rows without
    // it, which cannot say which action acted; they cover five minutes at
    // most and go with the table.
    if (database.scalar("SELECT COUNT(*) > 0 AND SUM(name = 'ac') = 0 FROM pragma_table_info('signed_requests')"))
        database.execute("DROP TABLE signed_requests;");
    database.execute(
        "CREATE TABLE IF NOT EXISTS signed_requests (uid TEXT NOT NULL, ac TEXT NOT NULL, t INTEGER NOT NULL,"
        " sign TEXT NOT NULL, PRIMARY KEY (uid, ac, t, sign)) WITHOUT ROWID;"
        "CREATE INDEX IF NOT EXISTS signed_requests_by_time ON signed_requests (t);");
}

namespace {

struct SignedValues {
    std::string uid;
    std::string ac;
    long long t;
    std::string sign;
};

// The signature was checked: `t` is a whole number within the window. The
// action is part of the key: two actions may sign the same values (a
// settlement and a recharge of one amount in one second).
SignedValues signedValuesOf(const Parameters& parameters) {
    return {parameters.textOrEmpty("uid"), parameters.textOrEmpty("ac"), std::stoll(parameters.textOrEmpty("t")),
            parameters.textOrEmpty("sign")};
}

}  // namespace

bool signedRequestActed(Database& database, const Parameters& parameters) {
    const SignedValues request = signedValuesOf(parameters);
    return database.scalar(
               "SELECT EXISTS (SELECT 1 FROM signed_requests WHERE uid = ? AND ac = ? AND t = ? AND sign = ?)",
               {request.uid, request.ac, request.t, request.sign}) != 0;
}

void recordSignedRequest(Database& database, const Parameters& parameters, std::time_t now) {
    const SignedValues request = signedValuesOf(parameters);
    database.prepare("DELETE FROM signed_requests WHERE t < ?")
        .bind({static_cast<long long>(now) - kLargestClockSkewSeconds})
        .step();
    database.prepare("INSERT INTO signed_requests (uid, ac, t, sign) VALUES (?, ?, ?, ?)")
        .bind({request.uid, request.ac, request.t, request.sign})
        .step();
}

}  // namespace backend
