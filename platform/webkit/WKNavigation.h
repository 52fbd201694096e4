#pragma once

#include "foundation/NSObject.h"

// The token of one main-frame load, passed to every callback about it.
class WKNavigation : public NSObject {};
