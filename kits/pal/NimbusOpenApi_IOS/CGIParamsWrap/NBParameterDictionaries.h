#pragma once

#include <optional>
#include <string>

#include "graphics/UIImage.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBAPIRequest.h"

// The parameter dictionaries of the session's Open API calls: request
// objects used only as dictionaries, with one typed property per parameter.
// A setter puts the value under its key, or takes the key out for nothing.

// A text parameter `paramName` under `key`.
#define NB_TEXT_PARAMETER(Name, key)                                                          \
    std::optional<std::string> param##Name() const { return textParameter(key); }            \
    void setParam##Name(std::optional<std::string> value) {                                  \
        setParameter(key, value ? Value(std::move(*value)) : Value());                       \
    }
// An image parameter `paramName` under `key`.
#define NB_IMAGE_PARAMETER(Name, key)                                                                  \
    Ref<UIImage> param##Name() const { return objectForKey(key).objectAs<UIImage>(); }                \
    void setParam##Name(Ref<UIImage> image) { setParameter(key, Value(std::move(image))); }

template <class Dic>
class NBParameterDictionary : public NBAPIRequest {
public:
    // A new, empty dictionary.
    static Ref<Dic> dictionary() { return make<Dic>(); }
};

// "shuoshuo/add_topic", POST.
class NBAddTopicDic : public NBParameterDictionary<NBAddTopicDic> {
public:
    NB_TEXT_PARAMETER(Richtype, "richtype")
    NB_TEXT_PARAMETER(Richval, "richval")
    NB_TEXT_PARAMETER(Con, "con")
    NB_TEXT_PARAMETER(Lbs_nm, "lbs_nm")
    NB_TEXT_PARAMETER(Lbs_x, "lbs_x")
    NB_TEXT_PARAMETER(Lbs_y, "lbs_y")
    NB_TEXT_PARAMETER(ThirdSource, "third_source")
};

// "blog/add_one_blog", POST.
class NBAddOneBlogDic : public NBParameterDictionary<NBAddOneBlogDic> {
public:
    NB_TEXT_PARAMETER(Title, "title")
    NB_TEXT_PARAMETER(Content, "content")
};

// "photo/add_album", POST.
class NBAddAlbumDic : public NBParameterDictionary<NBAddAlbumDic> {
public:
    NB_TEXT_PARAMETER(Albumname, "albumname")
    NB_TEXT_PARAMETER(Albumdesc, "albumdesc")
    NB_TEXT_PARAMETER(Priv, "priv")
    NB_TEXT_PARAMETER(Question, "question")
    NB_TEXT_PARAMETER(Answer, "answer")
};

// "photo/upload_pic", POST.
class NBUploadPicDic : public NBParameterDictionary<NBUploadPicDic> {
public:
    NB_TEXT_PARAMETER(Photodesc, "photodesc")
    NB_TEXT_PARAMETER(Title, "title")
    NB_TEXT_PARAMETER(Albumid, "albumid")
    NB_TEXT_PARAMETER(Mobile, "mobile")
    NB_TEXT_PARAMETER(X, "x")
    NB_TEXT_PARAMETER(Y, "y")
    NB_IMAGE_PARAMETER(Picture, "picture")
    NB_TEXT_PARAMETER(Needfeed, "needfeed")
    NB_TEXT_PARAMETER(Successnum, "successnum")
    NB_TEXT_PARAMETER(Picnum, "picnum")
};

// "share/add_share", POST. `paramNswb` is kept on the object only and never
// sent.
class NBAddShareDic : public NBParameterDictionary<NBAddShareDic> {
public:
    NB_TEXT_PARAMETER(Title, "title")
    NB_TEXT_PARAMETER(Url, "url")
    NB_TEXT_PARAMETER(Comment, "comment")
    NB_TEXT_PARAMETER(Summary, "summary")
    NB_TEXT_PARAMETER(Images, "images")
    NB_TEXT_PARAMETER(Type, "type")
    NB_TEXT_PARAMETER(Playurl, "playurl")
    NB_TEXT_PARAMETER(Site, "site")
    NB_TEXT_PARAMETER(Fromurl, "fromurl")
    const std::optional<std::string>& paramNswb() const { return nswb_; }
    void setParamNswb(std::optional<std::string> value) { nswb_ = std::move(value); }

private:
    std::optional<std::string> nswb_;
};

// "user/check_page_fans", GET.
class NBCheckPageFansDic : public NBParameterDictionary<NBCheckPageFansDic> {
public:
    NB_TEXT_PARAMETER(Page_id, "page_id")
};

// The head picture: the image and its file name.
class NBSetUserHeadpic : public NBParameterDictionary<NBSetUserHeadpic> {
public:
    NB_IMAGE_PARAMETER(Image, "pic")
    NB_TEXT_PARAMETER(FileName, "filename")
};

// "photo/list_photo", GET.
class NBListPhotoDic : public NBParameterDictionary<NBListPhotoDic> {
public:
    NB_TEXT_PARAMETER(Albumid, "albumid")
};

// The story page's fields; a story names its action "进入应用" unless told
// otherwise.
class NBSendStoryDic : public NBParameterDictionary<NBSendStoryDic> {
public:
    static constexpr const char* kDefaultAct = "进入应用";

    NBSendStoryDic() { setParamAct(std::string(kDefaultAct)); }

    NB_TEXT_PARAMETER(Title, "title")
    NB_TEXT_PARAMETER(Summary, "summary")
    NB_TEXT_PARAMETER(Description, "description")
    NB_TEXT_PARAMETER(Pics, "pics")
    NB_TEXT_PARAMETER(Act, "act")
    NB_TEXT_PARAMETER(ShareUrl, "shareurl")
};

#undef NB_TEXT_PARAMETER
#undef NB_IMAGE_PARAMETER
