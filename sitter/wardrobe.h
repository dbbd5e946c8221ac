#pragma once
// The costumes of the two layers: their names, the one worn, and the submenus that list them with a check
// mark at the one worn. Menu commands name a costume by layer and index.
#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "sitter/costumes.h"

struct CostumeChoice {
    Layer layer;
    int index;  // from 1
};

class Wardrobe {
public:
    // `menus` are the layers' submenus, owned by the popup menu that shows them.
    explicit Wardrobe(std::array<HMENU, 2> menus);

    // Gives the layer its names and lists them in its submenu, none checked.
    void Stock(Layer layer, std::vector<std::string> names);
    const std::vector<std::string>& Names(Layer layer) const { return names_[Slot(layer)]; }

    // Wears costume `index` of the layer and moves the check mark to it; 0 wears the first costume
    // with no mark anywhere, for an index that named none.
    void Wear(Layer layer, int index);
    // The index worn, from 1; 0 until start-up has read it.
    int Worn(Layer layer) const { return worn_[Slot(layer)]; }
    // Catgirl on layer 1 makes the cat sounds.
    bool WearsCatgirl() const;

    static UINT Command(Layer layer, int index);
    // The costume a menu command names, or nothing when it names none of the layers' costumes.
    std::optional<CostumeChoice> ChoiceOf(UINT command) const;

private:
    static size_t Slot(Layer layer) { return static_cast<size_t>(layer); }

    std::array<HMENU, 2> menus_;
    std::array<std::vector<std::string>, 2> names_;
    std::array<int, 2> worn_{};
};
