#pragma once
// Splitting a text at a separator: costume names, fortune answers, cat sounds.
#include <string>
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

}  // namespace platform
