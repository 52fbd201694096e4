#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTADataConfig.h"

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"

std::string UTAClassNameOf(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Text: return "NSString";
        case Value::Kind::Array: return "NSArray";
        case Value::Kind::Dictionary: return "NSDictionary";
        case Value::Kind::Null: return "NSNull";
        case Value::Kind::Data: return "NSData";
        case Value::Kind::Date: return "NSDate";
        case Value::Kind::Object: return "NSObject";
        case Value::Kind::Nil: return "(null)";
        default: return "NSNumber";
    }
}

bool RPOUTADataConfig::decode(const Value& record) {
    const Dictionary* fields = record.dictionary();
    if (!fields) return false;
    const Value* c = fields->find("c");
    const Value* v = fields->find("v");
    const Value* m = fields->find("m");
    if (!c || !v || !m) return false;
    if (!c->isDictionary()) {
        UTALog("Not NSDictionary for decoded config content:%@", UTAClassNameOf(*c));
        return false;
    }
    if (!v->isNumber()) {
        UTALog("Not NSDictionary for decoded config version:%@", UTAClassNameOf(*v));
        return false;
    }
    if (!m->isText()) {
        UTALog("Not NSDictionary for decoded config md5:%@", UTAClassNameOf(*m));
        return false;
    }
    md5 = *m->text();
    content = RPOUTAHelper::getInstance()->getJson(*c);
    version = static_cast<std::uint32_t>(v->longLongValue());
    return true;
}

void RPOUTADataConfig::encodeWithNoContent(Dictionary& dictionary) const { dictionary.set("v", version); }
