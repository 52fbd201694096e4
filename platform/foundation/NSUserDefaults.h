#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// The app's settings: property-list values by key, kept in the sandbox at
// Library/Preferences/<bundle identifier>.plist. Changes live in memory and
// reach the file on synchronize(), on resetStandardUserDefaults() and when
// the object goes away. Registered defaults answer for keys never set and
// are not saved. Safe to use from any thread.
class NSUserDefaults : public NSObject {
public:
    // Reads the settings file of the sandbox folder `root`, saved under `name`.
    NSUserDefaults(std::string root, std::string name);
    ~NSUserDefaults() override;

    // The settings of the current sandbox. When the sandbox changes, the
    // previous settings are saved and the new sandbox's are read.
    static Ref<NSUserDefaults> standardUserDefaults();
    // Saves the standard settings and lets them go; the next call to
    // standardUserDefaults() reads them afresh.
    static void resetStandardUserDefaults();

    Value objectForKey(std::string_view key) const;
    // Sets a property-list value; nil removes the key. Values a property list
    // cannot hold (null, object references) are refused and logged.
    void setObject(const Value& value, std::string_view key);
    void setBool(bool value, std::string_view key) { setObject(value, key); }
    void setInteger(long value, std::string_view key) { setObject(value, key); }
    void setDouble(double value, std::string_view key) { setObject(value, key); }
    void removeObjectForKey(std::string_view key) { setObject(Value(), key); }

    // A text, or a number as text; nothing for other kinds.
    std::optional<std::string> stringForKey(std::string_view key) const;
    // Numbers, and texts read as numbers; 0 / false otherwise.
    long integerForKey(std::string_view key) const;
    bool boolForKey(std::string_view key) const;
    double doubleForKey(std::string_view key) const;
    std::optional<Dictionary> dictionaryForKey(std::string_view key) const;
    std::optional<Array> arrayForKey(std::string_view key) const;

    // Values answered for keys that were never set.
    void registerDefaults(const Dictionary& defaults);
    // Registered defaults overlaid with the values set.
    Dictionary dictionaryRepresentation() const;

    // Writes unsaved changes to the file; false when that fails (logged), or
    // when the file was there but could not be read (it is kept).
    bool synchronize();

    const std::string& filePath() const { return path_; }
    // The standard settings' file in the current sandbox, not read.
    static std::string standardFilePath();

    // What the file held when these settings were made: settings (or it was
    // not there); nothing to be read (no permission, or not a regular file:
    // it is kept, never saved over); or no settings (damaged: these start
    // empty and are saved over it).
    enum class FileState { Read, Unreadable, Damaged };
    FileState fileState() const { return fileState_; }

private:
    bool saveLocked();

    std::string root_;
    std::string path_;
    mutable std::mutex mutex_;
    Dictionary values_;
    Dictionary registered_;
    bool dirty_ = false;
    FileState fileState_ = FileState::Read;
};
