#pragma once

#include "foundation/NSObject.h"

class MyOfflineModel;

// What a sub-promoter row tells its screen: its delete button was tapped.
class MyOfflineCellDelegate {
public:
    virtual ~MyOfflineCellDelegate() = default;
    virtual void MyOfflineCelldelegateModel(const Ref<MyOfflineModel>& model) = 0;
};
