#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusRequest.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLRequest.h"
#include "graphics/UIImage.h"

namespace {

constexpr double kJPEGQuality = 0.4;

bool isUpload(const Value& value) { return value.isData() || value.objectAs<UIImage>() != nullptr; }

std::string textOf(const Value& value) { return value.stringValue().value_or(value.description()); }

// Every parameter as key=escaped value, joined with "&".
std::string formFields(const Dictionary& params) {
    std::string fields;
    for (const auto& [key, value] : params) {
        if (!fields.empty()) fields += "&";
        fields += key + "=" + NimbusRequest::encodedValue(textOf(value));
    }
    return fields;
}

void append(std::vector<std::uint8_t>& body, const std::string& text) { body.insert(body.end(), text.begin(), text.end()); }

}  // namespace

NimbusRequest::~NimbusRequest() {
    if (auto connection = connection_.lock()) connection->cancel();
}

Ref<NimbusRequest> NimbusRequest::getRequestWithParams(const Dictionary& params, std::string httpMethod,
                                                       const Ref<NimbusRequestDelegate>& delegate, std::string requestURL) {
    auto request = make<NimbusRequest>();
    request->params_ = params;
    request->httpMethod_ = std::move(httpMethod);
    request->delegate_ = delegate;
    request->url_ = std::move(requestURL);
    return request;
}

std::string NimbusRequest::encodedValue(const std::string& text) {
    return NSString::stringByAddingPercentEncodingWithAllowedCharacters(text, NSCharacterSet::URLUnreservedCharacterSet());
}

std::string NimbusRequest::serializeURL(const std::string& baseURL, const Dictionary& params, const std::string& httpMethod) {
    Dictionary texts;
    for (const auto& [key, value] : params) {
        if (!isUpload(value)) {
            texts.set(key, value);
        } else if (httpMethod == "GET") {
            NSLog("can not use GET to upload a file");
        }
    }
    auto parsed = NSURL::URLWithString(baseURL);
    return baseURL + (parsed && parsed->query() ? "&" : "?") + formFields(texts);
}

Ref<NSURLRequest> NimbusRequest::buildRequest() const {
    const std::string address = httpMethod_ == "GET" ? serializeURL(url_, params_, httpMethod_) : url_;
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(address),
                                                       NSURLRequestReloadIgnoringLocalCacheData, kTimeout);
    request->setValue(std::string(kUserAgent), "User-Agent");
    request->setHTTPMethod(httpMethod_);
    const std::string* skey = params_["skey"].text();
    const std::string* uin = params_["uin"].text();
    if (skey && uin && !skey->empty() && !uin->empty())
        request->setValue("_uin=" + *uin + ";_oskey=" + *skey + ";uin=" + *uin + ";skey=" + *skey + ";", "Cookie");
    for (const auto& [field, value] : httpHeaders_)
        if (value.text()) request->setValue(*value.text(), field);
    if (httpMethod_ == "POST") {
        bool multipart = false;
        for (const auto& entry : params_) multipart = multipart || isUpload(entry.second);
        if (multipart) {
            request->setValue("multipart/form-data; boundary=" + std::string(kBoundary), "Content-Type");
            request->setHTTPBody(generatePostBody());
        } else {
            request->setHTTPBody(generateOtherPostBody());
        }
    }
    return request;
}

void NimbusRequest::connect() {
    start(buildRequest());
}

void NimbusRequest::connectWithRequest(const Ref<NSURLRequest>& request) {
    start(request);
}

void NimbusRequest::start(const Ref<NSURLRequest>& request) {
    // The delegate may let go of this request while it hears it is loading.
    Ref<NimbusRequest> keepAlive = self<NimbusRequest>();
    if (auto delegate = this->delegate()) delegate->requestLoading(self<NimbusRequest>());
    if (auto previous = connection_.lock()) previous->cancel();
    loading_ = true;
    auto connection = NSURLConnection::connectionWithRequest(request, self<NimbusRequest>(), false);
    if (connection) {
        connection->setLargestResponseBody(largestResponseBody_);
        connection->start();
    }
    connection_ = connection;
}

void NimbusRequest::cancel() {
    auto connection = connection_.lock();
    if (!connection) return;
    connection->cancel();
    delegate_.reset();
}

NSData NimbusRequest::generateOtherPostBody() const { return NSData::fromString(formFields(params_)); }

NSData NimbusRequest::generatePostBody() const {
    const std::string separator = "\r\n--" + std::string(kBoundary) + "\r\n";
    std::vector<std::uint8_t> body;
    append(body, "--" + std::string(kBoundary) + "\r\n");
    std::vector<std::pair<std::string, const Value*>> files;
    std::string fileName;
    bool firstPart = true;
    for (const auto& [key, value] : params_) {
        if (isUpload(value)) {
            files.emplace_back(key, &value);
            continue;
        }
        if (key == "filename" && value.text()) {
            fileName = *value.text();
            continue;
        }
        if (!firstPart) append(body, separator);
        firstPart = false;
        append(body, "Content-Disposition: form-data; name=\"" + key + "\"\r\n\r\n");
        append(body, textOf(value));
    }
    if (fileName.empty()) fileName = "picture";
    for (const auto& [key, value] : files) {
        if (!firstPart) append(body, separator);
        firstPart = false;
        append(body, "Content-Disposition: form-data; name=\"" + key + "\"; filename=\"" + fileName + "\"\r\n");
        append(body, "Content-Type: image/jpeg\r\n\r\n");
        NSData bytes = value->isData() ? *value->data()
                                       : UIImageJPEGRepresentation(value->objectAs<UIImage>(), kJPEGQuality).value_or(NSData());
        body.insert(body.end(), bytes.bytes(), bytes.bytes() + bytes.length());
    }
    append(body, "\r\n--" + std::string(kBoundary) + "--\r\n");
    return NSData(body.data(), body.size());
}

Value NimbusRequest::parseJsonResponse(const NSData& data, Ref<NSError>* error) {
    auto text = NSString::initWithData(data, NSUTF8StringEncoding);
    if (!text) text = NSString::initWithData(data, NSGB18030StringEncoding);
    if (text && *text == "true") return Dictionary{{"result", "true"}};
    if (text && *text == "false") {
        if (error) *error = formError(kErrorCode, {{"error_msg", "This operation can not be completed"}});
        return Value();
    }
    Value result = NSJSONSerialization::JSONObjectWithData(text ? NSData::fromString(*text) : data);
    const Dictionary* answer = result.dictionary();
    if (!answer) return result;
    if (answer->contains("error")) {
        if (error) *error = formError(kErrorCode, *answer);
        return Value();
    }
    if (const Value* code = answer->find("error_code")) {
        if (error) *error = formError(code->integerValue(), *answer);
        return Value();
    }
    if (error && (answer->contains("error_msg") || answer->contains("error_reason")))
        *error = formError(kErrorCode, *answer);
    return result;
}

Ref<NSError> NimbusRequest::formError(long code, Dictionary userInfo) {
    return NSError::errorWithDomain(kErrorDomain, code, std::move(userInfo));
}

void NimbusRequest::didReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response) {
    responseText_.clear();
    if (auto delegate = this->delegate()) delegate->didReceiveResponse(self<NimbusRequest>(), response);
}

void NimbusRequest::didReceiveData(const Ref<NSURLConnection>&, const NSData& data) {
    responseText_.insert(responseText_.end(), data.bytes(), data.bytes() + data.length());
}

void NimbusRequest::didSendBodyData(const Ref<NSURLConnection>&, long long sent, long long totalSent, long long expected) {
    if (auto delegate = this->delegate()) delegate->didSendBodyData(self<NimbusRequest>(), sent, totalSent, expected);
}

void NimbusRequest::didWriteData(const Ref<NSURLConnection>&, long long written, long long totalWritten,
                                 long long expected) {
    if (auto delegate = this->delegate()) delegate->didWriteData(self<NimbusRequest>(), written, totalWritten, expected);
}

void NimbusRequest::connectionDidFinishLoading(const Ref<NSURLConnection>&) {
    auto keep = self<NimbusRequest>();
    connection_.reset();
    loading_ = false;
    NSData body(responseText_.data(), responseText_.size());
    responseText_.clear();
    auto delegate = this->delegate();
    if (!delegate) return;
    delegate->didLoadRawResponse(keep, body);
    Ref<NSError> error;
    Value result = parseJsonResponse(body, &error);
    if (error) {
        delegate->didFailWithError(keep, error);
    } else {
        delegate->didLoad(keep, result, body);
    }
}

void NimbusRequest::didFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error) {
    auto keep = self<NimbusRequest>();
    connection_.reset();
    loading_ = false;
    responseText_.clear();
    if (auto delegate = this->delegate()) delegate->didFailWithError(keep, error);
}
