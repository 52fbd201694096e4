#include "app/tabs/promote/KXSegmentedBgTitleCell.h"

void KXSegmentedBgTitleCell::commonInit() {
    JXSegmentedTitleCell::commonInit();
    if (auto background = backgroundView()) background->setBackgroundColor(UIColor::redColor());
}
