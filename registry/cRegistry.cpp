#include "registry/cRegistry.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "platform/error.h"
#include "platform/handles.h"
#include "platform/text.h"

using platform::Narrow;
using platform::Widen;

namespace {

// Query, set, create-subkey, enumerate, notify and create-link: enough to write, less than all access.
constexpr REGSAM kCreateAccess = 0x3F;

HKEY RootHandle(int32_t classKey) { return reinterpret_cast<HKEY>(static_cast<intptr_t>(classKey)); }

std::string ErrorSource() { return platform::ExeName() + ".cRegistry"; }

[[noreturn]] void Raise(int32_t number, std::string description) {
    throw platform::Error(number, ErrorSource(), std::move(description));
}

// The root a call works on: the predefined key itself, or a remote root that this object closes.
class RootKey {
public:
    bool Connect(int32_t classKey, const std::string& machine) {
        if (machine.empty()) {
            handle_ = RootHandle(classKey);
            return true;
        }
        HKEY remote = nullptr;
        if (::RegConnectRegistryW(Widen(machine).c_str(), RootHandle(classKey), &remote) != ERROR_SUCCESS) return false;
        remote_.reset(remote);
        handle_ = remote;
        return true;
    }
    HKEY get() const noexcept { return handle_; }

private:
    HKEY handle_ = nullptr;
    platform::UniqueKey remote_;
};

platform::UniqueKey OpenKey(HKEY root, const std::string& section, REGSAM access) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, Widen(section).c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return platform::UniqueKey(key);
}

platform::UniqueKey CreateKeyFor(HKEY root, const std::string& section) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExW(root, Widen(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kCreateAccess, nullptr, &key,
                          &disposition) != ERROR_SUCCESS)
        return {};
    return platform::UniqueKey(key);
}

// The stored bytes of a value whose probe reported `size`. If the value grew in between, the read
// follows it rather than stopping at a half-filled buffer; if it vanished, the data is empty.
std::vector<BYTE> ReadData(HKEY key, const std::wstring& name, DWORD size) {
    std::vector<BYTE> data;
    for (int attempt = 0; attempt < 4; ++attempt) {
        data.assign(size, 0);
        DWORD got = size;
        LONG result = ::RegQueryValueExW(key, name.c_str(), nullptr, nullptr, data.empty() ? nullptr : data.data(), &got);
        if (result == ERROR_SUCCESS) {
            data.resize(std::min<DWORD>(got, size));
            return data;
        }
        if (result != ERROR_MORE_DATA) break;
        size = got;
    }
    data.clear();
    return data;
}

// UTF-16 string data less its terminator. A value stored without one (size 0 included) keeps all its
// characters instead of losing the last one; an odd last byte is half a character and is dropped.
std::wstring TextOf(const std::vector<BYTE>& data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

// Environment references expanded; when the expansion fails the stored text is kept as it is.
std::wstring Expanded(const std::wstring& text) {
    DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::wstring out(needed, L'\0');
    DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), out.data(), needed);
    if (written == 0 || written > needed) return text;
    out.resize(std::wcslen(out.c_str()));
    return out;
}

// First four bytes as a little-endian number; short data is padded with zeros.
uint32_t DwordOf(const std::vector<BYTE>& data) {
    uint32_t value = 0;
    if (!data.empty()) std::memcpy(&value, data.data(), std::min<size_t>(data.size(), sizeof value));
    return value;
}

// A name between two percent signs, with at least one character between them.
bool HoldsEnvironmentReference(const std::wstring& text) {
    size_t first = text.find(L'%');
    return first != std::wstring::npos && text.find(L'%', first + 2) != std::wstring::npos;
}

// What "converted to text" gives as empty: nothing, an empty string, an empty byte array.
bool IsEmptyText(const Variant& value) {
    switch (value.kind()) {
        case Variant::Kind::Empty: return true;
        case Variant::Kind::String: return value.AsString()->empty();
        case Variant::Kind::Bytes: return value.AsBytes()->empty();
        default: return false;
    }
}

}  // namespace

void cRegistry::SetMachine(const std::string& machine) {
    if (machine.size() < 3)
        machine_.clear();
    else if (machine.compare(0, 2, "\\\\") != 0)
        machine_ = "\\\\" + machine;
    else
        machine_ = machine;
}

Variant cRegistry::Value() {
    RootKey root;
    if (!root.Connect(classKey_, machine_)) return default_;
    platform::UniqueKey key = OpenKey(root.get(), sectionKey_, KEY_QUERY_VALUE);
    if (!key) return default_;

    const std::wstring name = Widen(valueKey_);
    DWORD type = 0, size = 0;
    LONG probe = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (probe != ERROR_SUCCESS && probe != ERROR_MORE_DATA) return default_;
    valueType_ = static_cast<int32_t>(type);

    std::vector<BYTE> data = ReadData(key.get(), name, size);
    switch (type) {
        case REG_SZ:
        case REG_MULTI_SZ: return Variant(Narrow(TextOf(data)));
        case REG_EXPAND_SZ: return Variant(Narrow(Expanded(TextOf(data))));
        case REG_DWORD: return Variant(static_cast<int32_t>(DwordOf(data)));
        case REG_DWORD_BIG_ENDIAN: {
            uint32_t v = DwordOf(data);
            return Variant(static_cast<int32_t>((v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24)));
        }
        default: return Variant(ByteArray(data.begin(), data.end()));
    }
}

void cRegistry::SetValue(const Variant& value) {
    auto failureText = [&] {
        return "Failed to set registry value Key: '" + std::to_string(classKey_) + "',Section: '" + sectionKey_ +
               "',Key: '" + valueKey_ + "' to value: '" + value.DisplayText() + "'";
    };

    // A remote registry that cannot be reached is a key that cannot be opened.
    RootKey root;
    if (!root.Connect(classKey_, machine_)) Raise(ErrKeyFailed, failureText());
    platform::UniqueKey key = CreateKeyFor(root.get(), sectionKey_);
    if (!key) Raise(ErrKeyFailed, failureText());

    const std::wstring name = Widen(valueKey_);
    LONG result = ERROR_SUCCESS;
    switch (valueType_) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            // A byte array has no text to write: refused like an unsupported type.
            if (value.kind() == Variant::Kind::Bytes) {
                result = ERROR_INVALID_DATA;
                break;
            }
            // Stored as UTF-16 with its terminator, as every other program reads text.
            const std::wstring text = Widen(value.ToString());
            DWORD type = HoldsEnvironmentReference(text) ? REG_EXPAND_SZ : REG_SZ;
            result = ::RegSetValueExW(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
            break;
        }
        case REG_BINARY: {
            const ByteArray* bytes = value.AsBytes();
            if (!bytes) throw platform::Error(ErrKeyFailed, "", "");  // the number alone, no source
            static const BYTE none = 0;
            result = ::RegSetValueExW(key.get(), name.c_str(), 0, REG_BINARY, bytes->empty() ? &none : bytes->data(),
                                      static_cast<DWORD>(bytes->size()));
            break;
        }
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN:
            // Only whole numbers are written, always little-endian; anything else is quietly skipped.
            if (value.IsWholeNumber()) {
                int32_t number = value.ToInt32();
                result = ::RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                          sizeof number);
            }
            break;
        default: result = ERROR_INVALID_DATA; break;
    }
    if (result != ERROR_SUCCESS) Raise(ErrSetValueFailed, failureText());
}

Variant cRegistry::ValueEx(int32_t classKey, const std::string& sectionKey, const std::string& valueKey,
                           int32_t valueType, const Variant& fallback) {
    SetClassKey(classKey);
    SetSectionKey(sectionKey);
    SetValueKey(valueKey);
    SetValueType(valueType);
    SetDefault(fallback);
    return Value();
}

void cRegistry::SetValueEx(int32_t classKey, const std::string& sectionKey, const std::string& valueKey,
                           int32_t valueType, const Variant& fallback, Variant& newValue) {
    SetClassKey(classKey);
    SetSectionKey(sectionKey);
    SetValueKey(valueKey);
    SetValueType(valueType);
    SetDefault(fallback);
    if (valueType_ == REG_SZ && IsEmptyText(newValue)) newValue = default_;
    SetValue(newValue);
}

namespace {

std::string KeyText(int32_t classKey, const std::string& section) {
    return std::to_string(classKey) + "',Section: '" + section;
}

// Entry 0 stays unused so that names[i] is the i-th name.
void AppendName(std::vector<std::string>& names, int32_t& count, std::string name) {
    if (names.empty()) names.emplace_back();
    names.push_back(std::move(name));
    ++count;
}

// Longest name the enumerations accept: the registry's limit of 16383 characters and a terminator.
constexpr size_t kLongestName = 16384;

// Appends the names that `next(index, buffer, &length)` hands out for index 0, 1, ... until it fails; the
// buffer grows when a name does not fit (one added while the listing runs).
template <typename Next>
void CollectNames(size_t bufferSize, std::vector<std::string>& names, int32_t& count, Next next) {
    std::vector<wchar_t> name(bufferSize);
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = next(index, name.data(), &length);
        if (result == ERROR_MORE_DATA && name.size() < kLongestName) {
            name.resize(name.size() * 2);
            continue;
        }
        if (result != ERROR_SUCCESS) break;
        AppendName(names, count, Narrow(std::wstring_view(name.data(), std::min<size_t>(length, name.size()))));
        ++index;
    }
}

}  // namespace

bool cRegistry::KeyExists() const {
    return static_cast<bool>(OpenKey(RootHandle(classKey_), sectionKey_, KEY_QUERY_VALUE));
}

bool cRegistry::CreateKey() const {
    if (!CreateKeyFor(RootHandle(classKey_), sectionKey_)) Raise(ErrKeyFailed, "Failed to create registry Key: '" + sectionKey_);
    return true;
}

bool cRegistry::DeleteKey() const {
    if (::RegDeleteKeyW(RootHandle(classKey_), Widen(sectionKey_).c_str()) != ERROR_SUCCESS)
        Raise(ErrKeyFailed, "Failed to delete registry Key: '" + KeyText(classKey_, sectionKey_));
    return true;
}

bool cRegistry::DeleteValue() const {
    platform::UniqueKey key = OpenKey(RootHandle(classKey_), sectionKey_, kCreateAccess);
    if (!key) Raise(ErrKeyFailed, "Failed to open key '" + KeyText(classKey_, sectionKey_) + "' for delete access");
    if (::RegDeleteValueW(key.get(), Widen(valueKey_).c_str()) != ERROR_SUCCESS)
        Raise(ErrKeyFailed, "Failed to delete registry Key: '" + KeyText(classKey_, sectionKey_) + "',Key: '" + valueKey_);
    return true;
}

bool cRegistry::EnumerateValues(std::vector<std::string>& names, int32_t& count) const {
    names.clear();
    count = 0;
    platform::UniqueKey key = OpenKey(RootHandle(classKey_), sectionKey_, KEY_QUERY_VALUE);
    if (!key) return true;

    // A real class buffer: a key created with a class string refuses the query when given none.
    std::vector<wchar_t> keyClass(MAX_PATH);
    DWORD longestName = 0;
    LONG result = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 2 && result == ERROR_MORE_DATA; ++attempt) {
        DWORD classLength = static_cast<DWORD>(keyClass.size());
        result = ::RegQueryInfoKeyW(key.get(), keyClass.data(), &classLength, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    &longestName, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) keyClass.resize(std::max<size_t>(classLength + 1, keyClass.size() * 2));
    }
    if (result != ERROR_SUCCESS) return true;

    CollectNames(std::max<DWORD>(longestName + 1, 1), names, count,
                 [&](DWORD index, wchar_t* name, DWORD* length) {
                     return ::RegEnumValueW(key.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
                 });
    return true;
}

bool cRegistry::EnumerateSections(std::vector<std::string>& names, int32_t& count) const {
    names.clear();
    count = 0;
    try {
        platform::UniqueKey key = OpenKey(RootHandle(classKey_), sectionKey_, KEY_ENUMERATE_SUB_KEYS);
        if (!key) return true;
        // Room for a full 255-character key name and its terminator.
        CollectNames(256, names, count, [&](DWORD index, wchar_t* name, DWORD* length) {
            return ::RegEnumKeyExW(key.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    } catch (const std::exception& e) {
        names.clear();
        count = 0;
        Raise(ErrEnumerateFailed, e.what());
    }
    return true;
}

namespace {

const std::string kMachineClasses = "SOFTWARE\\Classes\\";
// The shell puts the document's path in place of %1.
const std::string kDocumentPlaceholder = "\"%1\"";

std::string QuotedPath(const std::string& exePath) {
    size_t first = exePath.find_first_not_of(' ');
    std::string path = first == std::string::npos ? std::string() : exePath.substr(first, exePath.find_last_not_of(' ') - first + 1);
    if (path.empty() || path.front() != '"') path.insert(path.begin(), '"');
    if (path.size() < 2 || path.back() != '"') path.push_back('"');
    return path;
}

}  // namespace

void cRegistry::WriteBothRoots(const std::string& text) {
    const std::string section = sectionKey_;
    classKey_ = HKeyClassesRoot;
    SetValue(text);
    classKey_ = HKeyLocalMachine;
    sectionKey_ = kMachineClasses + section;
    try {
        SetValue(text);
    } catch (...) {
        sectionKey_ = section;
        throw;
    }
    sectionKey_ = section;
}

void cRegistry::CreateEXEAssociation(const std::string& exePath, const std::string& className,
                                     const std::string& classDescription, const std::string& extension,
                                     const std::string& openMenuText, bool supportPrint,
                                     const std::string& printMenuText, bool supportNew, const std::string& newMenuText,
                                     bool supportInstall, const std::string& installMenuText, int32_t defaultIconIndex) {
    // Without a class name the class's keys would be the roots themselves.
    if (className.empty())
        Raise(ErrInvalidItemList, "Invalid class name passed to CreateEXEAssociation - expected a name");
    const std::string path = QuotedPath(exePath);
    auto write = [&](const std::string& section, const std::string& text) {
        sectionKey_ = section;
        valueKey_.clear();
        WriteBothRoots(text);
    };
    auto verb = [&](const std::string& name, const std::string& menuText, const std::string& fallback,
                    const std::string& arguments) {
        write(className + "\\shell\\" + name, menuText.empty() ? fallback : menuText);
        write(className + "\\shell\\" + name + "\\command", path + arguments + kDocumentPlaceholder);
    };

    valueType_ = REG_SZ;
    write("." + extension, className);
    write(className, classDescription);
    verb("open", openMenuText, "&Open", " ");
    if (supportPrint) verb("print", printMenuText, "&Print", " /p ");
    if (supportInstall) verb("add", installMenuText, "&Install " + extension, " /a ");
    if (supportNew) verb("new", newMenuText, "&New", " /n ");
    if (defaultIconIndex > -1) write(className + "\\DefaultIcon", path + "," + std::to_string(defaultIconIndex));
}

void cRegistry::CreateAdditionalEXEAssociations(const std::string& className, const std::vector<Variant>& items) {
    if (items.empty() || items.size() % 3 != 0)
        Raise(ErrInvalidItemList, "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");
    sectionKey_ = className;
    if (!KeyExists()) Raise(ErrClassNotDefined, "Error - attempt to create additional associations before class defined.");

    // A failed write is passed over so that one bad group leaves the others written.
    auto writeItem = [&](const std::string& section, const Variant& item) {
        sectionKey_ = section;
        valueKey_.clear();
        try {
            WriteBothRoots(item.ToString());
        } catch (const platform::Error&) {
        }
    };
    for (size_t i = 0; i + 2 < items.size(); i += 3) {
        valueType_ = REG_SZ;
        std::string verbKey;
        try {
            verbKey = className + "\\shell\\" + items[i].ToString();
        } catch (const platform::Error&) {
            continue;  // a verb without a name has no key to go to: skip the whole group
        }
        writeItem(verbKey, items[i + 1]);
        writeItem(verbKey + "\\command", items[i + 2]);
    }
}
