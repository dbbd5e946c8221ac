#pragma once
// A private key per test under HKCU\Software\Quarrystone\PelloryTests, removed before and after it,
// and raw access that bypasses cRegistry to store and inspect exact types and bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "registry/cRegistry.h"

namespace regtest {

using Bytes = std::vector<BYTE>;

inline Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct Raw {
    DWORD type = 0;
    Bytes data;
    bool operator==(const Raw&) const = default;
};

inline void PrintTo(const Raw& raw, std::ostream* os) {
    *os << "type " << raw.type;
    if (raw.type == REG_SZ || raw.type == REG_EXPAND_SZ || raw.type == REG_MULTI_SZ) {
        *os << " text ";
        ::testing::internal::UniversalPrint(std::string(raw.data.begin(), raw.data.end()), os);
        return;
    }
    *os << " bytes";
    for (BYTE b : raw.data) *os << ' ' << int(b);
}

inline std::optional<Raw> RawGet(HKEY root, const std::string& section, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, section.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    Raw raw;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &raw.type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        raw.data.resize(size);
        result = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, raw.data.empty() ? nullptr : raw.data.data(), &size);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return std::nullopt;
    return raw;
}

// Fails the test when a call throws nothing; returns what it threw.
template <typename F>
platform::Error ErrorOf(F&& f) {
    try {
        f();
    } catch (const platform::Error& e) {
        return e;
    }
    ADD_FAILURE() << "expected a platform::Error";
    return platform::Error(0, "", "");
}

class RegistryTest : public ::testing::Test {
protected:
    static constexpr const char* kTestsRoot = "Software\\Quarrystone\\PelloryTests";

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        section_ = std::string(kTestsRoot) + "\\" + info->test_suite_name() + "." + info->name();
        RegDeleteTreeA(HKEY_CURRENT_USER, section_.c_str());
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, section_.c_str()); }

    void RawSet(const std::string& name, DWORD type, const Bytes& data, const std::string& sub = "") {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Path(sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        static const BYTE none = 0;
        EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, data.empty() ? &none : data.data(),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    std::optional<Raw> RawGet(const std::string& name, const std::string& sub = "") const {
        return regtest::RawGet(HKEY_CURRENT_USER, Path(sub), name);
    }
    bool KeyPresent(const std::string& sub = "") const {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, Path(sub).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    std::string Path(const std::string& sub) const { return sub.empty() ? section_ : section_ + "\\" + sub; }

    // An object aimed at a value of this test's key.
    cRegistry At(const std::string& name, int32_t type = 0, const std::string& sub = "") const {
        cRegistry reg;
        reg.SetClassKey(cRegistry::HKeyCurrentUser);
        reg.SetSectionKey(Path(sub));
        reg.SetValueKey(name);
        reg.SetValueType(type);
        return reg;
    }

    std::string section_;
};

}  // namespace regtest
