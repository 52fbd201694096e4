#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/KeyedArchiveFormat.h"
#include "foundation/NSPropertyListSerialization.h"
#include "foundation/NSURL.h"

// A coded class with every kind of field; `partner` makes shared and cyclic
// references.
class ArchiveNode : public NSObject, public NSCoding {
public:
    std::string name;
    int count = 0;
    std::int64_t big = 0;
    float ratio = 0;
    bool flag = false;
    NSData bytes;
    Ref<ArchiveNode> partner;

    void encodeWithCoder(NSCoder& coder) const override {
        coder.encodeObject(name, "name");
        coder.encodeInt(count, "count");
        coder.encodeInt64(big, "big");
        coder.encodeFloat(ratio, "ratio");
        coder.encodeBool(flag, "flag");
        coder.encodeBytes(bytes.bytes(), bytes.length(), "$bytes");
        coder.encodeObject(partner, "partner");
    }
    bool initWithCoder(NSCoder& coder) override {
        name = coder.decodeObjectForKey("name").stringValue().value_or("");
        count = coder.decodeIntForKey("count");
        big = coder.decodeInt64ForKey("big");
        ratio = coder.decodeFloatForKey("ratio");
        flag = coder.decodeBoolForKey("flag");
        bytes = coder.decodeBytesForKey("$bytes").value_or(NSData());
        partner = coder.decodeObjectForKey("partner").objectAs<ArchiveNode>();
        return name != "refuse";
    }
};

namespace {

using Format = NSPropertyListSerialization::Format;

struct Registration {
    Registration() { NSKeyedUnarchiver::registerClass<ArchiveNode>(); }
} registration;

Value plistOf(const NSData& archive) {
    return NSPropertyListSerialization::propertyListWithData(archive).value_or(Value());
}

NSData binary(const Value& plist) {
    return *NSPropertyListSerialization::dataWithPropertyList(plist, Format::Binary);
}

Value uid(std::uint64_t index) { return KeyedArchiveFormat::uid(index); }

Value classEntry(const std::string& name, Array chain) {
    return Dictionary{{"$classes", std::move(chain)}, {"$classname", name}};
}

// An archive laid out as the phone's archiver lays it out.
NSData phoneArchive(Array objects, std::uint64_t root = 1) {
    return binary(Dictionary{{"$version", 100000},
                             {"$archiver", "NSKeyedArchiver"},
                             {"$top", Dictionary{{"root", uid(root)}}},
                             {"$objects", std::move(objects)}});
}

TEST(NSKeyedArchiver, WritesTheKeyedArchiveLayout) {
    auto data = NSKeyedArchiver::archivedDataWithRootObject(Dictionary{{"a", 1}, {"b", "x"}, {"c", "x"}});
    ASSERT_TRUE(data);
    EXPECT_EQ(data->toString().substr(0, 8), "bplist00");
    Value plist = plistOf(*data);
    EXPECT_EQ(plist["$archiver"], Value("NSKeyedArchiver"));
    EXPECT_EQ(plist["$version"], Value(100000));
    const Value& objects = plist["$objects"];
    EXPECT_EQ(objects[0], Value("$null"));
    auto root = KeyedArchiveFormat::uidOf(plist["$top"]["root"]);
    ASSERT_TRUE(root);
    const Value& dictionary = objects[*root];
    EXPECT_EQ(dictionary["NS.keys"].count(), 3u);
    // The same text is stored once.
    EXPECT_EQ(dictionary["NS.objects"][1], dictionary["NS.objects"][2]);
    const Value& description = objects[*KeyedArchiveFormat::uidOf(dictionary["$class"])];
    EXPECT_EQ(description["$classname"], Value("NSDictionary"));
    EXPECT_EQ(description["$classes"], Value(Array{"NSDictionary", "NSObject"}));
}

TEST(NSKeyedArchiver, EveryValueKindReadsBack) {
    Value original = Dictionary{
        {"text", "\u4e2d\u6587"}, {"negative", -42},          {"real", 2.5},
        {"yes", true},            {"data", NSData::fromString("ab")}, {"date", NSDate(1700000000.5)},
        {"null", Value::null()},  {"list", Array{1, Array{}, Dictionary{{"k", "v"}}}},
        {"$dollar", "kept"},
    };
    auto back = NSKeyedUnarchiver::unarchiveObjectWithData(*NSKeyedArchiver::archivedDataWithRootObject(original));
    EXPECT_EQ(back, original);
    EXPECT_TRUE(back["yes"].isBool());
    EXPECT_TRUE(back["negative"].isInteger());

    auto url = NSURL::URLWithString("page?x=1", NSURL::URLWithString("https://example.org/a/"));
    auto urlBack = NSKeyedUnarchiver::unarchiveObjectWithData(*NSKeyedArchiver::archivedDataWithRootObject(url))
                       .objectAs<NSURL>();
    ASSERT_TRUE(urlBack);
    EXPECT_EQ(urlBack->absoluteString(), "https://example.org/a/page?x=1");
    EXPECT_EQ(urlBack->relativeString(), "page?x=1");
}

TEST(NSKeyedArchiver, CodedObjectsKeepScalarsSharedObjectsAndCycles) {
    auto first = make<ArchiveNode>();
    first->name = "first";
    first->count = -7;
    first->big = 1LL << 40;
    first->ratio = 0.25f;
    first->flag = true;
    first->bytes = NSData::fromString(std::string("\0\1", 2));
    auto second = make<ArchiveNode>();
    second->name = "second";
    first->partner = second;
    second->partner = first;  // a cycle

    auto data = NSKeyedArchiver::archivedDataWithRootObject(Array{first, second, first});
    ASSERT_TRUE(data);
    Value back = NSKeyedUnarchiver::unarchiveObjectWithData(*data);
    auto a = back[0].objectAs<ArchiveNode>();
    auto b = back[1].objectAs<ArchiveNode>();
    ASSERT_TRUE(a && b);
    EXPECT_EQ(back[2].objectAs<ArchiveNode>(), a);  // one object, written once
    EXPECT_EQ(a->partner, b);
    EXPECT_EQ(b->partner, a);
    EXPECT_EQ(a->count, -7);
    EXPECT_EQ(a->big, 1LL << 40);
    EXPECT_FLOAT_EQ(a->ratio, 0.25f);
    EXPECT_TRUE(a->flag);
    EXPECT_EQ(a->bytes, first->bytes);
    a->partner.reset();  // break the cycles so that the objects are freed
    second->partner.reset();

    // The class is named in the archive, with its chain.
    Value objects = plistOf(*data)["$objects"];
    EXPECT_EQ(objects.count(), 1 + 1 /*array*/ + 2 /*nodes*/ + 2 /*names*/ + 2 /*classes*/);
}

TEST(NSKeyedArchiver, ReadsArchivesLaidOutByThePhone) {
    // {"title": mutable "Hi", "items": mutable [1, null], "$key": 2.5} with a
    // mutable dictionary and an escaped key, as the phone writes them.
    NSData data = phoneArchive({
        "$null",
        Dictionary{{"NS.keys", Array{uid(2), uid(3), uid(4)}},
                   {"NS.objects", Array{uid(5), uid(7), uid(11)}},
                   {"$class", uid(10)}},
        "title", "items", "$key",
        Dictionary{{"NS.string", "Hi"}, {"$class", uid(6)}},
        classEntry("NSMutableString", {"NSMutableString", "NSString", "NSObject"}),
        Dictionary{{"NS.objects", Array{uid(8), uid(9)}}, {"$class", uid(12)}},
        1,
        Dictionary{{"$class", uid(13)}},
        classEntry("NSMutableDictionary", {"NSMutableDictionary", "NSDictionary", "NSObject"}),
        2.5,
        classEntry("NSMutableArray", {"NSMutableArray", "NSArray", "NSObject"}),
        classEntry("NSNull", {"NSNull", "NSObject"}),
    });
    Value expected = Dictionary{{"title", "Hi"}, {"items", Array{1, Value::null()}}, {"$key", 2.5}};
    EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(data), expected);
    // Secure form: every class inside must be allowed.
    Ref<NSError> error;
    EXPECT_EQ(NSKeyedUnarchiver::unarchivedObjectOfClasses(
                  {"NSDictionary", "NSString", "NSArray", "NSNumber", "NSNull"}, data, &error),
              expected);
    EXPECT_FALSE(error);
    EXPECT_TRUE(NSKeyedUnarchiver::unarchivedObjectOfClasses({"NSDictionary", "NSString", "NSArray"}, data, &error)
                    .isNil());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), NSCoderReadCorruptError);
}

TEST(NSKeyedArchiver, SecureDecodingAcceptsOnlyAllowedClasses) {
    auto node = make<ArchiveNode>();
    node->name = "n";
    auto data = *NSKeyedArchiver::archivedDataWithRootObject(Array{node});
    EXPECT_TRUE(NSKeyedUnarchiver::unarchivedObjectOfClass("NSArray", data).isNil());
    Value allowed = NSKeyedUnarchiver::unarchivedObjectOfClasses({"NSArray", "ArchiveNode", "NSString"}, data);
    ASSERT_TRUE(allowed[0].objectAs<ArchiveNode>());
    EXPECT_EQ(allowed[0].objectAs<ArchiveNode>()->name, "n");
    EXPECT_FALSE(NSKeyedUnarchiver::unarchivedObjectOfClass("NSObject", data).isNil());
    // An object whose initWithCoder refuses decodes as nil, without failing the rest.
    node->name = "refuse";
    Value refused = NSKeyedUnarchiver::unarchiveObjectWithData(*NSKeyedArchiver::archivedDataWithRootObject(Array{node, 1}));
    EXPECT_EQ(refused.count(), 2u);
    EXPECT_TRUE(refused[0].isNil());
}

class SubstituteDelegate : public NSObject, public NSKeyedUnarchiverDelegate {
public:
    std::vector<std::string> chainSeen;
    std::optional<std::string> unarchiverCannotDecodeObjectOfClassName(NSKeyedUnarchiver&, const std::string&,
                                                                       const std::vector<std::string>& chain) override {
        chainSeen = chain;
        return std::string("ArchiveNode");
    }
};

TEST(NSKeyedArchiver, ClassNamesMapBothWaysAndUnknownClassesFail) {
    auto node = make<ArchiveNode>();
    node->name = "mapped";
    NSKeyedArchiver::setClassName("PalNode", "ArchiveNode");
    auto data = *NSKeyedArchiver::archivedDataWithRootObject(node);
    NSKeyedArchiver::setClassName("", "ArchiveNode");
    EXPECT_NE(data.toString().find("PalNode"), std::string::npos);
    EXPECT_EQ(data.toString().find("ArchiveNode"), std::string::npos);

    Ref<NSError> error;
    EXPECT_TRUE(NSKeyedUnarchiver::unarchiveObjectWithData(data, &error).isNil());
    ASSERT_TRUE(error);
    EXPECT_NE(error->localizedDescription().find("PalNode"), std::string::npos);

    auto unarchiver = NSKeyedUnarchiver::initForReadingFromData(data);
    auto delegate = make<SubstituteDelegate>();
    unarchiver->setDelegate(delegate);
    EXPECT_EQ(unarchiver->decodeObjectForKey("root").objectAs<ArchiveNode>()->name, "mapped");
    EXPECT_EQ(delegate->chainSeen, (std::vector<std::string>{"PalNode", "NSObject"}));

    NSKeyedUnarchiver::setClass("ArchiveNode", "PalNode");
    EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(data).objectAs<ArchiveNode>()->name, "mapped");
    NSKeyedUnarchiver::setClass("", "PalNode");
}

TEST(NSKeyedArchiver, ReadsMutableDataStoredBehindAReference) {
    // {"blob": mutable data}: the bytes sit in "$objects", NS.data refers to them.
    NSData data = phoneArchive({
        "$null",
        Dictionary{{"NS.keys", Array{uid(2)}}, {"NS.objects", Array{uid(3)}}, {"$class", uid(6)}},
        "blob",
        Dictionary{{"NS.data", uid(4)}, {"$class", uid(5)}},
        NSData::fromString("bytes"),
        classEntry("NSMutableData", {"NSMutableData", "NSData", "NSObject"}),
        classEntry("NSDictionary", {"NSDictionary", "NSObject"}),
    });
    Value expected = Dictionary{{"blob", NSData::fromString("bytes")}};
    EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(data), expected);
    Ref<NSError> error;
    EXPECT_EQ(NSKeyedUnarchiver::unarchivedObjectOfClasses({"NSDictionary", "NSString", "NSData"}, data, &error),
              expected);
    EXPECT_FALSE(error);
    // A reference to anything but data is no data object.
    NSData wrong = phoneArchive({"$null", Dictionary{{"NS.data", uid(2)}, {"$class", uid(3)}}, "text",
                                 classEntry("NSMutableData", {"NSMutableData", "NSData", "NSObject"})});
    EXPECT_TRUE(NSKeyedUnarchiver::unarchiveObjectWithData(wrong, &error).isNil());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), NSCoderReadCorruptError);
}

TEST(NSKeyedArchiver, RefusesOtherVersionsAndArchivesWithoutARootObject) {
    const Array objects{"$null", "text"};
    for (std::int64_t version : {1, 99999, 100001}) {
        SCOPED_TRACE(version);
        Ref<NSError> error;
        NSData data = binary(Dictionary{{"$version", version},
                                        {"$archiver", "NSKeyedArchiver"},
                                        {"$top", Dictionary{{"root", uid(1)}}},
                                        {"$objects", objects}});
        EXPECT_FALSE(NSKeyedUnarchiver::initForReadingFromData(data, &error));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), NSCoderReadCorruptError);
    }
    // Written under another top key: no root object, and an error that says so.
    NSData other = binary(Dictionary{{"$version", 100000},
                                     {"$archiver", "NSKeyedArchiver"},
                                     {"$top", Dictionary{{"object", uid(1)}}},
                                     {"$objects", objects}});
    Ref<NSError> error;
    EXPECT_TRUE(NSKeyedUnarchiver::unarchiveObjectWithData(other, &error).isNil());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), NSCoderValueNotFoundError);
    error = nullptr;
    EXPECT_TRUE(NSKeyedUnarchiver::unarchivedObjectOfClass("NSString", other, &error).isNil());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), NSCoderValueNotFoundError);
    // The top key itself still reads through an unarchiver.
    auto unarchiver = NSKeyedUnarchiver::initForReadingFromData(other);
    ASSERT_TRUE(unarchiver);
    EXPECT_EQ(unarchiver->decodeObjectForKey("object"), Value("text"));
    // A root that is nil is an archived nil, not a fault.
    error = nullptr;
    EXPECT_TRUE(NSKeyedUnarchiver::unarchiveObjectWithData(phoneArchive({"$null"}, 0), &error).isNil());
    EXPECT_FALSE(error);
}

TEST(NSKeyedArchiver, MalformedArchivesFailCleanly) {
    auto fails = [](const NSData& data) {
        Ref<NSError> error;
        Value value = NSKeyedUnarchiver::unarchiveObjectWithData(data, &error);
        return value.isNil() && error && error->domain() == NSCocoaErrorDomain;
    };
    EXPECT_TRUE(fails(NSData::fromString("not an archive")));
    EXPECT_TRUE(fails(binary(Dictionary{{"$archiver", "Other"}, {"$version", 100000}})));
    EXPECT_TRUE(fails(phoneArchive({"$null"}, 5)));                                       // dangling UID
    EXPECT_TRUE(fails(phoneArchive({"$null", Dictionary{{"NS.objects", Array{uid(1)}}, {"$class", uid(2)}},
                                    classEntry("NSArray", {"NSArray"})})));                // contains itself
    EXPECT_TRUE(fails(phoneArchive({"$null", Dictionary{{"NS.keys", Array{uid(3)}}, {"NS.objects", Array{uid(3)}},
                                                        {"$class", uid(2)}},
                                    classEntry("NSDictionary", {}), 7})));                 // number key
    EXPECT_TRUE(fails(phoneArchive({"$null", Dictionary{{"name", "x"}}})));                 // no class
    EXPECT_TRUE(fails(phoneArchive({"$null", Dictionary{{"NS.time", 1e300}, {"$class", uid(2)}},
                                    classEntry("NSDate", {"NSDate"})})));                  // beyond time_t
    EXPECT_TRUE(fails(phoneArchive({"$null", NSDate(1e300)})));                             // the same, direct

    // Each level refers twice to the next: 2^40 values if expanded.
    Array doubling{"$null"};
    for (std::uint64_t level = 1; level <= 40; ++level)
        doubling.push_back(Dictionary{{"NS.objects", Array{uid(level + 1), uid(level + 1)}}, {"$class", uid(42)}});
    doubling.push_back("leaf");
    doubling.push_back(classEntry("NSArray", {"NSArray"}));
    EXPECT_TRUE(fails(phoneArchive(doubling)));

    // Nesting far deeper than any real archive.
    Array deep{"$null"};
    for (std::uint64_t level = 1; level <= 1000; ++level)
        deep.push_back(Dictionary{{"NS.objects", Array{uid(level + 1)}}, {"$class", uid(1002)}});
    deep.push_back("bottom");
    deep.push_back(classEntry("NSArray", {"NSArray"}));
    EXPECT_TRUE(fails(phoneArchive(deep)));
}

TEST(NSKeyedArchiver, ScalarsOutOfRangeFailAndWrongKindsReadAsZero) {
    auto archiver = make<NSKeyedArchiver>();
    archiver->encodeInt64(1LL << 40, "wide");
    archiver->encodeObject("text", "text");
    auto unarchiver = NSKeyedUnarchiver::initForReadingFromData(*archiver->encodedData());
    EXPECT_EQ(unarchiver->decodeInt64ForKey("wide"), 1LL << 40);
    EXPECT_EQ(unarchiver->decodeIntForKey("text"), 0);
    EXPECT_FALSE(unarchiver->decodeBytesForKey("missing"));
    EXPECT_FALSE(unarchiver->error());
    EXPECT_EQ(unarchiver->decodeIntForKey("wide"), 0);
    EXPECT_TRUE(unarchiver->error());

    class Plain : public NSObject {};
    Ref<NSError> error;
    EXPECT_FALSE(NSKeyedArchiver::archivedDataWithRootObject(Array{make<Plain>()}, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), NSCoderInvalidValueError);
}

}  // namespace
