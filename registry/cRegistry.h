#pragma once
// A named place in the registry (root, key path, value name) with a data type and a fallback,
// read and written through Value. Each use makes a fresh object; nothing stays open between calls.
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
    void SetClassKey(int32_t eKey) { classKey_ = eKey; }
    const std::string& SectionKey() const { return sectionKey_; }
    void SetSectionKey(const std::string& sSectionKey) { sectionKey_ = sSectionKey; }
    const std::string& ValueKey() const { return valueKey_; }
    void SetValueKey(const std::string& sValueKey) { valueKey_ = sValueKey; }
    int32_t ValueType() const { return valueType_; }
    void SetValueType(int32_t eValueType) { valueType_ = eValueType; }
    const Variant& Default() const { return default_; }
    void SetDefault(const Variant& vDefault) { default_ = vDefault; }
    // Held with two leading backslashes, or empty for the local registry.
    const std::string& Machine() const { return machine_; }
    void SetMachine(const std::string& sMachine);

    // Reads the value; a missing key or value (or an unreachable machine) yields Default.
    // A successful read sets ValueType to the stored type.
    Variant Value();
    // Writes vValue as ValueType, creating the key as needed; throws platform::Error.
    void SetValue(const Variant& vValue);

    Variant ValueEx(int32_t ClassKey, const std::string& SectionKey, const std::string& ValueKey,
                              int32_t ValueType, const Variant& Default);
    // With REG_SZ, an empty NewValue is replaced by Default (in the caller's variable too) before writing.
    void SetValueEx(int32_t ClassKey, const std::string& SectionKey, const std::string& ValueKey, int32_t ValueType,
                    const Variant& Default, Variant& NewValue);

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
    bool EnumerateValues(std::vector<std::string>& sKeyNames, int32_t& lKeyCount) const;
    bool EnumerateSections(std::vector<std::string>& sSections, int32_t& lSectionCount) const;

    // Registers extension sAssociation (without the dot) for class sClassName with its verbs and icon,
    // each string written under HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
    // Empty menu texts take their defaults; lDefaultIconIndex -1 writes no icon. The first failing
    // write raises; what was written before it stays. Both operations leave ClassKey at
    // HKeyLocalMachine, SectionKey at the last key path written (without SOFTWARE\Classes), ValueKey
    // empty and ValueType REG_SZ. An empty class name raises ErrInvalidItemList before anything is written.
    void CreateEXEAssociation(const std::string& sExePath, const std::string& sClassName,
                              const std::string& sClassDescription, const std::string& sAssociation,
                              const std::string& sOpenMenuText = "&Open", bool bSupportPrint = false,
                              const std::string& sPrintMenuText = "&Print", bool bSupportNew = false,
                              const std::string& sNewMenuText = "&New", bool bSupportInstall = false,
                              const std::string& sInstallMenuText = "", int32_t lDefaultIconIndex = -1);
    // vItems in threes: verb name, menu text, command line. The class must exist under the current
    // ClassKey (set HKeyClassesRoot first). A group that fails to write is passed over.
    void CreateAdditionalEXEAssociations(const std::string& sClassName, const std::vector<Variant>& vItems);

private:
    // Writes the value named by SectionKey and ValueKey under HKEY_CLASSES_ROOT, then under
    // HKEY_LOCAL_MACHINE\SOFTWARE\Classes; leaves ClassKey at HKEY_LOCAL_MACHINE.
    void WriteBothRoots(const std::string& sText);

    int32_t classKey_ = 0;
    std::string sectionKey_;
    std::string valueKey_;
    int32_t valueType_ = 0;
    Variant default_;
    std::string machine_;
};
