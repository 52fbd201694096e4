#pragma once

#include "app/payment/KXRecordListViewController.h"

// 代充记录: the top-ups the promoter made for players ("fuli_list", asked
// once), their total and count on the card.
class KXGenerationOfFillingViewController : public KXRecordListViewController {
public:
    KXGenerationOfFillingViewController();

    std::string className() const override { return "KXGenerationOfFillingViewController"; }
};
