#pragma once

#include <filesystem>
#include <string>

#include "foundation/DataFile.h"
#include "foundation/NSBundle.h"
#include "foundation/PropertyListFile.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "tests/support/AppFixture.h"

// A host app of the Pal kit: a bundle (in the sandbox) whose settings name
// it "com.example.palhost" / "推广联盟" with two icon files and a URL type
// "nimbusApiIdentifier" with the scheme kLegacyScheme, and a share layer
// without any registration. Header-only; for binaries that link the Pal kit.
class PalHostFixture : public AppFixture {
protected:
    static constexpr const char* kBundleIdentifier = "com.example.palhost";
    static constexpr const char* kLegacyScheme = "palhostlegacy";

    PalHostFixture() {
        bundlePath = sandbox.path() + "/PalHost.app";
        std::filesystem::create_directories(bundlePath);
        Dictionary legacy{{"CFBundleURLName", "nimbusApiIdentifier"}, {"CFBundleURLSchemes", Array{kLegacyScheme}}};
        Dictionary info{{"CFBundleIdentifier", kBundleIdentifier},
                        {"CFBundleDisplayName", "推广联盟"},
                        {"CFBundleVersion", "42"},
                        {"CFBundleIconFiles", Array{"Icon-60.png", "Icon-76.png", "Icon-83.png"}},
                        {"CFBundleURLTypes", Array{legacy}}};
        PropertyListFile::writeToFile(info, bundlePath + "/Info.plist", true);
        for (const char* icon : {"Icon-60.png", "Icon-76.png", "Icon-83.png"})
            DataFile::writeToFile(NSData::fromString(std::string("icon ") + icon), bundlePath + "/" + icon, true);
        NSBundle::setMainBundlePath(bundlePath);
        forgetRegistrations();
    }
    ~PalHostFixture() override {
        forgetRegistrations();
        NSBundle::setMainBundlePath("");
    }

    // Declares the app's own URL scheme too, on which the Pal apps answer.
    void declareScheme(const std::string& scheme) {
        const std::string plist = bundlePath + "/Info.plist";
        Dictionary info = *PropertyListFile::dictionaryWithContentsOfFile(plist);
        Array types = *info["CFBundleURLTypes"].array();
        types.push_back(Dictionary{{"CFBundleURLSchemes", Array{scheme}}});
        info.set("CFBundleURLTypes", types);
        PropertyListFile::writeToFile(info, plist, true);
        NSBundle::setMainBundlePath(bundlePath);
    }

    static void forgetRegistrations() {
        auto store = PalApiDatastore::instance();
        store->setScheme(std::nullopt);
        store->setOpenId(std::nullopt);
        store->setUin(std::nullopt);
        store->setAppId(std::nullopt);
        store->setAppName(std::nullopt);
        store->setWebviewToken(std::nullopt);
        store->takeShareAnswer();
    }

    std::string bundlePath;
};
