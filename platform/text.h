#pragma once
// Text: UTF-8 in std::string throughout the program, UTF-16 only where a wide system call wants it.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Every occurrence of `separator` splits; an empty text gives no parts.
inline std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

// UTF-8 to UTF-16 and back; invalid sequences become U+FFFD rather than failing.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace platform
