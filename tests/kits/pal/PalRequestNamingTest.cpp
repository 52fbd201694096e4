// Request classes named after their web API: path and method from the
// class name, parameters from the "param_" properties.
#include <gtest/gtest.h>

#include <stdexcept>

#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBNamedAPIRequest.h"

namespace {

class NBCgi_Base : public NBNamedAPIRequest<NBCgi_Base> {
public:
    static constexpr std::string_view kClassName = "NBCgi_Base";
    static constexpr std::array<std::string_view, 1> kProperties{"param_format"};
    static Ref<NSURL> APIBaseURL() { return NSURL::URLWithString("https://127.0.0.1/cgi"); }
};

class NBCgi_user_get_info_GET : public NBNamedAPIRequest<NBCgi_user_get_info_GET, NBCgi_Base> {
public:
    static constexpr std::string_view kClassName = "NBCgi_user_get_info_GET";
    static constexpr std::array<std::string_view, 1> kProperties{"param_openid"};
};

class NBCgi_photo_upload_pic_POST : public NBNamedAPIRequest<NBCgi_photo_upload_pic_POST, NBCgi_Base> {
public:
    static constexpr std::string_view kClassName = "NBCgi_photo_upload_pic_POST";
    static constexpr std::array<std::string_view, 0> kProperties{};
};

// Names the format refuses under NBCgi_Base.
template <const char* Name>
class Misnamed : public NBNamedAPIRequest<Misnamed<Name>, NBCgi_Base> {
public:
    static constexpr std::string_view kClassName = Name;
    static constexpr std::array<std::string_view, 0> kProperties{};
};
constexpr char kNoSuffix[] = "NBCgi_user_get_info";
constexpr char kLowerSuffix[] = "NBCgi_user_get_info_get";
constexpr char kNoPrefix[] = "NBOther_user_get_info_GET";
constexpr char kPrefixIsSuffix[] = "NBCgi_GET";

template <class Request>
std::string refusal() {
    try {
        Request::requestClass();
    } catch (const std::logic_error& error) {
        return error.what();
    }
    return "accepted";
}

}  // namespace

TEST(PalRequestNaming, PathAndMethodComeFromTheClassName) {
    EXPECT_EQ(NBCgi_user_get_info_GET::APIPath(), std::optional<std::string>("user_get_info"));
    EXPECT_EQ(NBCgi_user_get_info_GET::APIMethod(), std::optional<std::string>("GET"));
    auto upload = make<NBCgi_photo_upload_pic_POST>();
    EXPECT_EQ(upload->apiURL()->absoluteString(), "https://127.0.0.1/cgi/photo_upload_pic");
    EXPECT_EQ(upload->method(), std::optional<std::string>("POST"));

    // The family's base has no "_" above it: no path, no method.
    EXPECT_FALSE(NBCgi_Base::APIPath());
    auto base = make<NBCgi_Base>();
    EXPECT_EQ(base->apiURL()->absoluteString(), "https://127.0.0.1/cgi");
    EXPECT_FALSE(base->method());

    const std::string format = "isn't compatible with format: NBCgi_(cgi path)_(POST|GET)";
    EXPECT_EQ(refusal<Misnamed<kNoSuffix>>(), "Class name[NBCgi_user_get_info] " + format);
    EXPECT_EQ(refusal<Misnamed<kLowerSuffix>>(), "Class name[NBCgi_user_get_info_get] " + format);
    EXPECT_EQ(refusal<Misnamed<kNoPrefix>>(), "Class name[NBOther_user_get_info_GET] " + format);
    EXPECT_EQ(refusal<Misnamed<kPrefixIsSuffix>>(), "Class name[NBCgi_GET] " + format);
    // Refused at every use, never half made.
    EXPECT_THROW(make<Misnamed<kNoSuffix>>(), std::logic_error);
}

TEST(PalRequestNaming, ParamPropertiesReadAndWriteTheirParameters) {
    auto request = make<NBCgi_user_get_info_GET>();
    request->setParam("param_openid", Value("A1B2"));
    request->setParam("param_format", Value("json"));  // declared by the family's base
    EXPECT_EQ(request->params(), (Dictionary{{"openid", "A1B2"}, {"format", "json"}}));
    EXPECT_EQ(request->param("param_openid"), Value("A1B2"));
    request->setParam("param_openid", Value());
    EXPECT_FALSE(request->params().contains("openid"));

    // Another class of the family does not have the property.
    Ref<NBAPIRequest> upload = make<NBCgi_photo_upload_pic_POST>();
    EXPECT_THROW(upload->setParam("param_openid", Value("A1B2")), std::logic_error);
    EXPECT_THROW(request->param("openid"), std::logic_error);

    auto empty = NBCgi_user_get_info_GET::initWithObjects(Array{"A1B2"}, Array{"openid"});
    EXPECT_EQ(empty->count(), 0u);
    EXPECT_EQ(empty->method(), std::optional<std::string>("GET"));
    auto plain = NBAPIRequest::initWithObjects(Array{"A1B2"}, Array{"openid"});
    EXPECT_EQ(plain->count(), 0u);
    EXPECT_EQ(&plain->objectClass(), &NBAPIRequest::requestClass());
}
