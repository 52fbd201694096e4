#pragma once

#include "uikit/UIViewController.h"

// An empty screen: it adds nothing to the platform's controller.
class ViewController : public UIViewController {};
