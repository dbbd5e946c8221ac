#pragma once
// The character's settings under the current user's key: the distance along the window's edge ("FromSide",
// percent), mirrored drawing until the first seat ("FromLeft"), the costume index of each layer ("Costume",
// "Costume2") and the character's Size ("Size", percent), as REG_DWORD; and the folder costume worn on each layer
// by its file name ("CostumeFile", "Costume2File"), as REG_SZ. Everything reaches the registry through cRegistry.
#include <cstdint>
#include <optional>
#include <string>

#include "registry/cRegistry.h"

namespace settings {

inline constexpr const char* Key = "Software\\Quarrystone\\Pellory";
inline constexpr const char* Distance = "FromSide";
inline constexpr const char* Mirrored = "FromLeft";
inline constexpr const char* Size = "Size";

// The reads of start-up, in its order, through the one store that start-up keeps for all of them.
class StartupReader {
public:
    StartupReader();
    // The value as a 32-bit number (a missing one is 0); raises Type mismatch or Overflow.
    int32_t Number(const char* name);
    // Whether the value reads as 0 (a missing one does); raises Type mismatch for what is not a number.
    bool IsZero(const char* name);
    // Writes the index 1 for a costume that has none.
    void RepairCostume(const char* name);
    // The value as text; raises Type mismatch for bytes.
    std::string Text(const char* name);

private:
    Variant Read(const char* name);

    cRegistry store_;
};

// The Size stored, in percent: 100 for a value that is missing, unreadable or not one of CharacterSizes.
// Never raises and never writes: the user's choice alone stores it.
int32_t StoredSize();

// Stores one value through a store of its own; raises what cRegistry raises when the registry refuses.
void Write(const char* name, int32_t value);
void WriteText(const char* name, const std::string& text);

// A text value: nothing when it is missing, "" when it holds no text. Never raises.
std::optional<std::string> StoredText(const char* name);
// Removes the value when it is there; raises what cRegistry raises when the registry refuses.
void Erase(const char* name);

}  // namespace settings
