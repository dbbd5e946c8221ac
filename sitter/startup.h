#pragma once
// Start-up of the character, in its fixed order: the metrics and the costume names from the resources, the
// settings from the registry, then the pictures and the folder costumes worn, and only then its window. Every
// failure shows one message box; the failures of some steps let start-up go on, the others end the program.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "sitter/frame_set.h"
#include "sitter/popup_menu.h"
#include "sitter/wardrobe.h"

// The art's own measures, in pixels of the art: where it sits, and where the blink frames go.
struct ArtMetrics {
    int32_t buttHeight = 0;
    POINT blinkAt{};
};

// What the user chose: where along the window's edge the character sits, and its Size.
struct Preferences {
    int32_t distance = 0;  // percent of the window's width from its right end
    bool mirrored = false;  // until the first seat
    int sizePercent = 100;
};

// What the character is made of, as start-up found it: its window is built from this.
struct Character {
    ArtMetrics art;
    Preferences preferences;
    PopupMenu menu;
    Wardrobe wardrobe{menu.CostumeMenus()};
    CharacterPictures pictures;
};

class Startup {
public:
    // Runs every step before the window in its order; nothing when a failure ended start-up.
    static std::unique_ptr<Character> Run();
    // The last step: `openWindow` makes and shows the character's window. False when it failed, and said so.
    static bool OpenWindow(const std::function<void()>& openWindow);

private:
    bool ReadMetrics(ArtMetrics& metrics, Wardrobe& wardrobe);
    void ReadSecondNames(Wardrobe& wardrobe);
    void ReadSettings(Preferences& preferences, Wardrobe& wardrobe);
    bool LoadPictures(const Wardrobe& wardrobe, CharacterPictures& pictures);
    static void WearStoredFiles(Wardrobe& wardrobe, CharacterPictures& pictures);

    enum class Failure { BadMetric, CostumeName, UnreadableSetting, BadCostumeIndex, MissingBitmap, Vague };

    // The one place where start-up meets its errors: runs `step`, and when it raises, shows the failure's
    // message naming `item`. False when the step failed.
    bool Attempt(Failure failure, const std::string& item, const std::function<void()>& step);
};
