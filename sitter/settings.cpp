#include "sitter/settings.h"

#include <windows.h>

#include <algorithm>

#include "sitter/scale.h"

namespace settings {

namespace {

// A store of its own for one value under the program's key.
cRegistry StoreOf(const char* name) {
    cRegistry store;
    store.SetClassKey(cRegistry::HKeyCurrentUser);
    store.SetSectionKey(Key);
    store.SetValueKey(name);
    return store;
}

}  // namespace

StartupReader::StartupReader() {
    store_.SetClassKey(cRegistry::HKeyCurrentUser);
    store_.SetSectionKey(Key);
    store_.SetValueType(REG_DWORD);
}

Variant StartupReader::Read(const char* name) {
    store_.SetValueKey(name);
    return store_.Value();
}

int32_t StartupReader::Number(const char* name) { return Read(name).ToInt32(); }

bool StartupReader::IsZero(const char* name) { return Read(name).EqualsNumber(0); }

void StartupReader::RepairCostume(const char* name) {
    store_.SetValueKey(name);
    // The store keeps the type of whatever it read last; the repair is a number whatever that was.
    store_.SetValueType(REG_DWORD);
    store_.SetValue(Variant(int32_t{1}));
}

std::string StartupReader::Text(const char* name) { return Read(name).ToString(); }

int32_t StoredSize() {
    cRegistry store = StoreOf(Size);
    const Variant value = store.Value();
    if (store.ValueType() != REG_DWORD || value.kind() != Variant::Kind::Int32) return 100;
    const int32_t percent = value.ToInt32();
    return std::ranges::find(CharacterSizes, percent) != CharacterSizes.end() ? percent : 100;
}

void Write(const char* name, int32_t value) {
    cRegistry store = StoreOf(name);
    store.SetValueType(REG_DWORD);
    store.SetValue(Variant(value));
}

void WriteText(const char* name, const std::string& text) {
    cRegistry store = StoreOf(name);
    store.SetValueType(REG_SZ);
    store.SetValue(Variant(text));
}

std::optional<std::string> StoredText(const char* name) {
    cRegistry store = StoreOf(name);
    constexpr int32_t unread = -1;  // a read sets the type stored
    store.SetValueType(unread);
    const Variant value = store.Value();
    if (store.ValueType() == unread) return std::nullopt;
    const std::string* text = value.AsString();
    return text ? *text : std::string();
}

void Erase(const char* name) {
    if (StoredText(name)) StoreOf(name).DeleteValue();
}

}  // namespace settings
