#pragma once
// The costumes of the two layers: the built-in ones and those of the layer's folder, the one worn, and the
// submenus that list them with a check mark at the one worn. Menu commands name a costume by layer and index, or
// by layer and file name.
#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "costumes/folder.h"
#include "sitter/costumes.h"

struct CostumeChoice {
    Layer layer;
    int index;             // a built-in costume, from 1; 0 for one of the folder's
    std::string fileName;  // the folder's costume; "" for a built-in one
};

class Wardrobe {
public:
    // `menus` are the layers' submenus, owned by the popup menu that shows them.
    explicit Wardrobe(std::array<HMENU, 2> menus);

    // Gives the layer its names and lists them in its submenu, none checked, then a separator and "Open Costumes
    // Folder".
    void Stock(Layer layer, std::vector<std::string> names);
    const std::vector<std::string>& Names(Layer layer) const { return names_[Slot(layer)]; }
    // Lists the costumes of the layer's folder after the separator, in their order, in place of those listed before.
    void StockFolder(Layer layer, std::vector<costumes::Costume> costumes);

    // Wears costume `index` of the layer and moves the check mark to it; 0 wears the first costume
    // with no mark anywhere, for an index that named none.
    void Wear(Layer layer, int index);
    // Wears the folder's costume of that file name, checked once it is listed.
    void WearFile(Layer layer, const std::string& fileName);
    // The built-in costume worn, or last worn before a folder's, from 1; 0 until start-up has read it.
    int Worn(Layer layer) const { return worn_[Slot(layer)]; }
    // The folder's costume worn, by its file name; "" while a built-in one is.
    const std::string& WornFile(Layer layer) const { return wornFile_[Slot(layer)]; }
    // Catgirl on layer 1 makes the cat sounds.
    bool WearsCatgirl() const;

    static UINT Command(Layer layer, int index);
    // The costume a menu command names, or nothing when it names none of the layers' costumes.
    std::optional<CostumeChoice> ChoiceOf(UINT command) const;
    // The layer whose folder "Open Costumes Folder" opens, when that is the command.
    static std::optional<Layer> FolderToOpen(UINT command);

private:
    static size_t Slot(Layer layer) { return static_cast<size_t>(layer); }

    std::array<HMENU, 2> menus_;
    std::array<std::vector<std::string>, 2> names_;
    std::array<std::vector<costumes::Costume>, 2> folder_;  // as listed
    std::array<int, 2> worn_{};
    std::array<std::string, 2> wornFile_;
};
