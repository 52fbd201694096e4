#include "backend/SignedRequests.h"

#include "backend/Signature.h"

namespace backend {

void installSignedRequestsTable(Database& database) {
    database.execute(
        "CREATE TABLE IF NOT EXISTS signed_requests (uid TEXT NOT NULL, t INTEGER NOT NULL, sign TEXT NOT NULL,"
        " PRIMARY KEY (uid, t, sign)) WITHOUT ROWID;"
        "CREATE INDEX IF NOT EXISTS signed_requests_by_time ON signed_requests (t);");
}

namespace {

struct SignedValues {
    std::string uid;
    long long t;
    std::string sign;
};

// The signature was checked: `t` is a whole number within the window.
SignedValues signedValuesOf(const Parameters& parameters) {
    return {parameters.textOrEmpty("uid"), std::stoll(parameters.textOrEmpty("t")), parameters.textOrEmpty("sign")};
}

}  // namespace

bool signedRequestActed(Database& database, const Parameters& parameters) {
    const SignedValues request = signedValuesOf(parameters);
    return database.scalar("SELECT EXISTS (SELECT 1 FROM signed_requests WHERE uid = ? AND t = ? AND sign = ?)",
                           {request.uid, request.t, request.sign}) != 0;
}

void recordSignedRequest(Database& database, const Parameters& parameters, std::time_t now) {
    const SignedValues request = signedValuesOf(parameters);
    database.prepare("DELETE FROM signed_requests WHERE t < ?")
        .bind({static_cast<long long>(now) - kLargestClockSkewSeconds})
        .step();
    database.prepare("INSERT INTO signed_requests (uid, t, sign) VALUES (?, ?, ?)")
        .bind({request.uid, request.t, request.sign})
        .step();
}

}  // namespace backend
