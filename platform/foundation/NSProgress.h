#pragma once

// How far a piece of work has come, in units of the work.
struct NSProgress {
    long long totalUnitCount = 0;
    long long completedUnitCount = 0;

    // Completed over total; 0 while the total is unknown (0 or less).
    double fractionCompleted() const {
        if (totalUnitCount <= 0) return 0;
        double fraction = static_cast<double>(completedUnitCount) / static_cast<double>(totalUnitCount);
        return fraction > 1 ? 1 : fraction;
    }
};
