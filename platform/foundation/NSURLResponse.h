#pragma once

#include <optional>
#include <string>
#include <utility>

#include "foundation/NSObject.h"

class NSURL;

// What a server said about the body it sends: where from, its type and length.
class NSURLResponse : public NSObject {
public:
    NSURLResponse(Ref<NSURL> url, std::optional<std::string> MIMEType, long long expectedContentLength,
                  std::optional<std::string> textEncodingName)
        : url_(std::move(url)),
          mimeType_(std::move(MIMEType)),
          expectedContentLength_(expectedContentLength),
          textEncodingName_(std::move(textEncodingName)) {}

    const Ref<NSURL>& URL() const { return url_; }
    // "text/html" for "Text/HTML; charset=UTF-8"; nothing when not given.
    const std::optional<std::string>& MIMEType() const { return mimeType_; }
    // The announced body length, -1 when unknown.
    long long expectedContentLength() const { return expectedContentLength_; }
    // The charset parameter of the content type ("utf-8"), if any.
    const std::optional<std::string>& textEncodingName() const { return textEncodingName_; }

private:
    Ref<NSURL> url_;
    std::optional<std::string> mimeType_;
    long long expectedContentLength_;
    std::optional<std::string> textEncodingName_;
};
