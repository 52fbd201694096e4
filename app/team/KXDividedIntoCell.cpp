#include "app/team/KXDividedIntoCell.h"

#include "app/team/KXGridViews.h"

void KXDividedIntoCell::setDataDic(const Value& entry) {
    dataDic_ = entry;
    userLabel()->setText(KXGridViews::cellText(entry["name"]));
    zhucerenshuLabel()->setText(KXGridViews::cellText(entry["number"]));
    chongzhijingELabel()->setText(KXGridViews::cellText(entry["money"]));
    shouyiLabel()->setText(KXGridViews::cellText(entry["income"]));
    jiesuanLabel()->setText(KXGridViews::cellText(entry["settled"]));
}
