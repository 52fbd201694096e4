#pragma once

#include "app/components/QSCScanViewController.h"

// The app's scan screen: titled, with the navigation bar shown; it prints
// the first code's text and leaves.
class KXScanViewController : public QSCScanViewController {
public:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    // Prints "扫描结果:" with the first result's text on one line (control
    // characters escaped), then pops the screen; an empty list does nothing.
    void deliverScanResults(const std::vector<QSCScanResult>& results) override;

    // The look the Home tab gives the screen: no border, green inner angles
    // 18 long and 2 wide, and the moving ripple line.
    static QSCScanViewStyle homeTabScanStyle();
};
