#pragma once
// A named place in the registry (root, key path, value name) with a data type and a fallback,
// read and written through Value. Each use makes a fresh object; nothing stays open between calls.
// Key paths, value names and text are UTF-8 here and UTF-16 in the registry, whatever the code page.
#include <cstdint>
#include <string>
#include <vector>

#include "registry/variant.h"

class cRegistry {
public:
    // Root key values as the program passes them (signed 32-bit).
    static constexpr int32_t HKeyClassesRoot = (int32_t)0x80000000, HKeyCurrentUser = (int32_t)0x80000001,
                             HKeyLocalMachine = (int32_t)0x80000002;

    // Error numbers raised, with the source ExeName() + ".cRegistry" (a refused binary write: number alone).
    static constexpr int32_t ErrKeyFailed = 26001;                          // key create/open/delete
    static constexpr int32_t ErrSetValueFailed = (int32_t)0x800469A9;       // value write refused
    static constexpr int32_t ErrEnumerateFailed = (int32_t)0x800469AA;      // EnumerateSections broke down
    static constexpr int32_t ErrInvalidItemList = (int32_t)0x800469AC;      // verb list not in threes, no class name
    static constexpr int32_t ErrClassNotDefined = (int32_t)0x800469AD;      // verbs for an unknown class

    int32_t ClassKey() const { return classKey_; }
    void SetClassKey(int32_t key) { classKey_ = key; }
    const std::string& SectionKey() const { return sectionKey_; }
    void SetSectionKey(const std::string& sectionKey) { sectionKey_ = sectionKey; }
    const std::string& ValueKey() const { return valueKey_; }
    void SetValueKey(const std::string& valueKey) { valueKey_ = valueKey; }
    int32_t ValueType() const { return valueType_; }
    void SetValueType(int32_t valueType) { valueType_ = valueType; }
    const Variant& Default() const { return default_; }
    void SetDefault(const Variant& fallback) { default_ = fallback; }
    // Held with two leading backslashes, or empty for the local registry.
    const std::string& Machine() const { return machine_; }
    void SetMachine(const std::string& machine);

    // Reads the value; a missing key or value (or an unreachable machine) yields Default.
    // A successful read sets ValueType to the stored type.
    Variant Value();
    // Writes value as ValueType, creating the key as needed; throws platform::Error.
    void SetValue(const Variant& value);

    // Set the five properties in this order, then read or write Value.
    Variant ValueEx(int32_t classKey, const std::string& sectionKey, const std::string& valueKey, int32_t valueType,
                    const Variant& fallback);
    // With REG_SZ, an empty newValue is replaced by fallback (in the caller's variable too) before writing.
    void SetValueEx(int32_t classKey, const std::string& sectionKey, const std::string& valueKey, int32_t valueType,
                    const Variant& fallback, Variant& newValue);

    // Key management on the local registry (Machine is not consulted). The operations that return
    // bool return true or throw platform::Error; KeyExists never throws.
    bool KeyExists() const;
    bool CreateKey() const;
    bool DeleteKey() const;
    bool DeleteValue() const;

    // Lists of the key's value names / subkey names, indexed from 1: on return names[1..count] hold
    // the names and names[0] is an unused empty string; with no names, count is 0 and names is empty.
    // A missing key gives the empty list. Both return true; EnumerateSections turns an internal
    // failure (out of memory) into ErrEnumerateFailed carrying its description.
    bool EnumerateValues(std::vector<std::string>& names, int32_t& count) const;
    bool EnumerateSections(std::vector<std::string>& names, int32_t& count) const;

    // Registers `extension` (without the dot) for class className with its verbs and icon,
    // each string written under HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
    // Empty menu texts take their defaults; defaultIconIndex -1 writes no icon. The first failing
    // write raises; what was written before it stays. Both operations leave ClassKey at
    // HKeyLocalMachine, SectionKey at the last key path written (without SOFTWARE\Classes), ValueKey
    // empty and ValueType REG_SZ. An empty class name raises ErrInvalidItemList before anything is written.
    void CreateEXEAssociation(const std::string& exePath, const std::string& className,
                              const std::string& classDescription, const std::string& extension,
                              const std::string& openMenuText = "&Open", bool supportPrint = false,
                              const std::string& printMenuText = "&Print", bool supportNew = false,
                              const std::string& newMenuText = "&New", bool supportInstall = false,
                              const std::string& installMenuText = "", int32_t defaultIconIndex = -1);
    // items in threes: verb name, menu text, command line. The class must exist under the current
    // ClassKey (set HKeyClassesRoot first). A group that fails to write is passed over.
    void CreateAdditionalEXEAssociations(const std::string& className, const std::vector<Variant>& items);

private:
    // Writes the value named by SectionKey and ValueKey under HKEY_CLASSES_ROOT, then under
    // HKEY_LOCAL_MACHINE\SOFTWARE\Classes; leaves ClassKey at HKEY_LOCAL_MACHINE.
    void WriteBothRoots(const std::string& text);

    int32_t classKey_ = 0;
    std::string sectionKey_;
    std::string valueKey_;
    int32_t valueType_ = 0;
    Variant default_;
    std::string machine_;
};
