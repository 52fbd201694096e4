#include "foundation/NSUserDefaults.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "foundation/AppSandbox.h"
#include "foundation/DataFile.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSPropertyListSerialization.h"
#include "foundation/PropertyListFile.h"

namespace {

std::mutex standardMutex;
Ref<NSUserDefaults> standardInstance;

// The settings file is named after the app; without an identifier, after the
// program, as for an app without a bundle.
std::string settingsName() {
    std::string identifier = NSBundle::mainBundle()->bundleIdentifier();
    if (!identifier.empty()) return identifier;
    return program_invocation_short_name;
}

// The settings file of the sandbox folder `root`, named `name`.
std::string filePathIn(const std::string& root, const std::string& name) {
    return root + "/Library/Preferences/" + name + ".plist";
}

}  // namespace

NSUserDefaults::NSUserDefaults(std::string root, std::string name)
    : root_(std::move(root)), path_(filePathIn(root_, name)) {
    if (auto saved = PropertyListFile::dictionaryWithContentsOfFile(path_)) {
        values_ = std::move(*saved);
        return;
    }
    struct stat file {};
    if (::stat(path_.c_str(), &file) != 0) return;
    if (!S_ISREG(file.st_mode) || ::access(path_.c_str(), R_OK) != 0) {
        // Settings that are there but may not be read are not lost by
        // saving these, made without them, over them.
        fileState_ = FileState::Unreadable;
        NSLog("NSUserDefaults: the settings file " + path_ + " cannot be read; it is not saved over");
    } else {
        fileState_ = FileState::Damaged;
        NSLog("NSUserDefaults: the settings file " + path_ + " holds no settings (damaged); it is saved over");
    }
}

std::string NSUserDefaults::standardFilePath() { return filePathIn(AppSandbox::root(), settingsName()); }

NSUserDefaults::~NSUserDefaults() {
    std::lock_guard lock(mutex_);
    saveLocked();
}

Ref<NSUserDefaults> NSUserDefaults::standardUserDefaults() {
    std::string root = AppSandbox::root();
    Ref<NSUserDefaults> previous;
    std::lock_guard lock(standardMutex);
    if (!standardInstance || standardInstance->root_ != root) {
        previous = std::move(standardInstance);
        if (previous) previous->synchronize();
        standardInstance = make<NSUserDefaults>(root, settingsName());
    }
    return standardInstance;
}

void NSUserDefaults::resetStandardUserDefaults() {
    Ref<NSUserDefaults> previous;
    {
        std::lock_guard lock(standardMutex);
        previous = std::move(standardInstance);
    }
    if (previous) previous->synchronize();
}

Value NSUserDefaults::objectForKey(std::string_view key) const {
    std::lock_guard lock(mutex_);
    if (const Value* value = values_.find(key)) return *value;
    return registered_[key];
}

void NSUserDefaults::setObject(const Value& value, std::string_view key) {
    if (!value.isNil() && !NSPropertyListSerialization::propertyList(value, NSPropertyListSerialization::Format::Binary)) {
        NSLog("NSUserDefaults: refused to store a non-property-list value for key " + std::string(key));
        return;
    }
    std::lock_guard lock(mutex_);
    values_.set(key, value);
    dirty_ = true;
}

std::optional<std::string> NSUserDefaults::stringForKey(std::string_view key) const {
    return objectForKey(key).stringValue();
}

long NSUserDefaults::integerForKey(std::string_view key) const { return objectForKey(key).integerValue(); }

bool NSUserDefaults::boolForKey(std::string_view key) const { return objectForKey(key).boolValue(); }

double NSUserDefaults::doubleForKey(std::string_view key) const { return objectForKey(key).doubleValue(); }

std::optional<Dictionary> NSUserDefaults::dictionaryForKey(std::string_view key) const {
    Value value = objectForKey(key);
    if (!value.isDictionary()) return std::nullopt;
    return std::move(*value.dictionary());
}

std::optional<Array> NSUserDefaults::arrayForKey(std::string_view key) const {
    Value value = objectForKey(key);
    if (!value.isArray()) return std::nullopt;
    return std::move(*value.array());
}

void NSUserDefaults::registerDefaults(const Dictionary& defaults) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : defaults) registered_.set(key, value);
}

Dictionary NSUserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    Dictionary merged = registered_;
    for (const auto& [key, value] : values_) merged.set(key, value);
    return merged;
}

bool NSUserDefaults::synchronize() {
    std::lock_guard lock(mutex_);
    return saveLocked();
}

bool NSUserDefaults::saveLocked() {
    if (!dirty_) return true;
    if (fileState_ == FileState::Unreadable) return false;
    auto data = NSPropertyListSerialization::dataWithPropertyList(values_, NSPropertyListSerialization::Format::Binary);
    if (!data) return false;
    if (const int error = DataFile::writeToFile(*data, path_, true)) {
        NSLog("NSUserDefaults: the settings are not saved in " + path_ + ": " + std::strerror(error));
        return false;
    }
    dirty_ = false;
    return true;
}
