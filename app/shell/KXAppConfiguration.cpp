#include "app/shell/KXAppConfiguration.h"

std::string KXAppConfiguration::rippleAppId() { return VELMARO_RIPPLE_APP_ID; }

std::string KXAppConfiguration::palAppId() { return VELMARO_PAL_APP_ID; }

std::string KXAppConfiguration::palRedirectHost() { return VELMARO_PAL_REDIRECT_HOST; }
