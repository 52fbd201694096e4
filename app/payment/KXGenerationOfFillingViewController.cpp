#include "app/payment/KXGenerationOfFillingViewController.h"

#include "app/payment/GenerationOfFillingModel.h"
#include "app/payment/KXGenerationOfFillingCell.h"

KXGenerationOfFillingViewController::KXGenerationOfFillingViewController()
    : KXRecordListViewController(
          {"代充记录", "总代充金额(元)", "fuli_list",
           modelRowsUnder<GenerationOfFillingModel>("list"),
           cellsShowing(&KXGenerationOfFillingCell::setDataModel)}) {}
