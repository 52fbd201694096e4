#include "uikit/UIApplicationDelegate.h"

#include "uikit/UIApplication.h"

bool UIApplicationDelegate::applicationOpenURLOptions(const Ref<UIApplication>& application, const Ref<NSURL>& url,
                                                      const Dictionary& options) {
    const Value& source = options[UIApplicationOpenURLOptionsSourceApplicationKey];
    return applicationOpenURLSourceApplicationAnnotation(application, url, source.text() ? *source.text() : "",
                                                         options[UIApplicationOpenURLOptionsAnnotationKey]);
}

bool UIApplicationDelegate::applicationOpenURLSourceApplicationAnnotation(const Ref<UIApplication>& application,
                                                                          const Ref<NSURL>& url, const std::string&,
                                                                          const Value&) {
    return applicationHandleOpenURL(application, url);
}
