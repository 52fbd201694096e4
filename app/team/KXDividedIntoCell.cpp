#include "app/team/KXDividedIntoCell.h"

#include "app/promotion/KXAnswerText.h"

void KXDividedIntoCell::setDataDic(const Value& entry) {
    dataDic_ = entry;
    userLabel()->setText(KXAnswerText::text(entry["name"]));
    zhucerenshuLabel()->setText(KXAnswerText::text(entry["number"]));
    chongzhijingELabel()->setText(KXAnswerText::text(entry["money"]));
    shouyiLabel()->setText(KXAnswerText::text(entry["income"]));
    jiesuanLabel()->setText(KXAnswerText::text(entry["settled"]));
}
