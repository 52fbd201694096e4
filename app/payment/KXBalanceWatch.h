#pragma once

// The promoter's prepaid and withdrawable balances as the screens that show
// them have seen them. A money action that changes them says so; each such
// screen loads them again the next time it appears.
class KXBalanceWatch {
public:
    // A money action changed the balances.
    static void changed();

    // Counts the balances as seen now.
    KXBalanceWatch();
    // Whether they changed since this watch was made or last asked, and
    // counts them as seen.
    bool takeChange();

private:
    unsigned long long seen_;
};
