#include "sitter/wardrobe.h"

#include "platform/text.h"

namespace {

// Plus the costume index, per layer; the folder's costumes count from 0, at most costumes::MostListed of them.
constexpr UINT FirstCommand[] = {1100, 1200};
constexpr UINT FirstFolderCommand[] = {2000, 2200};
constexpr UINT OpenFolderCommand[] = {2100, 2300};

UINT Checked(bool checked) { return MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED); }

}  // namespace

Wardrobe::Wardrobe(std::array<HMENU, 2> menus) : menus_(menus) {}

UINT Wardrobe::Command(Layer layer, int index) { return FirstCommand[Slot(layer)] + static_cast<UINT>(index); }

void Wardrobe::Stock(Layer layer, std::vector<std::string> names) {
    names_[Slot(layer)] = std::move(names);
    const std::vector<std::string>& stocked = names_[Slot(layer)];
    HMENU menu = menus_[Slot(layer)];
    for (size_t i = 1; i <= stocked.size(); ++i)
        AppendMenuW(menu, MF_STRING, Command(layer, static_cast<int>(i)), platform::Widen(stocked[i - 1]).c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, OpenFolderCommand[Slot(layer)], L"Open Costumes Folder");
}

void Wardrobe::StockFolder(Layer layer, std::vector<costumes::Costume> costumes) {
    const size_t slot = Slot(layer);
    HMENU menu = menus_[slot];
    for (size_t i = 0; i < folder_[slot].size(); ++i) DeleteMenu(menu, FirstFolderCommand[slot] + static_cast<UINT>(i), MF_BYCOMMAND);
    folder_[slot] = std::move(costumes);
    // Before "Open Costumes Folder", the last item.
    const auto at = static_cast<UINT>(GetMenuItemCount(menu) - 1);
    for (size_t i = 0; i < folder_[slot].size(); ++i) {
        const costumes::Costume& costume = folder_[slot][i];
        InsertMenuW(menu, at + static_cast<UINT>(i), MF_BYPOSITION | MF_STRING | (costume.fileName == wornFile_[slot] ? MF_CHECKED : 0),
                    FirstFolderCommand[slot] + static_cast<UINT>(i), platform::Widen(costumes::MenuText(costume.name)).c_str());
    }
}

void Wardrobe::Wear(Layer layer, int index) {
    worn_[Slot(layer)] = index > 0 ? index : 1;
    WearFile(layer, "");
    for (int i = 1; i <= static_cast<int>(Names(layer).size()); ++i) CheckMenuItem(menus_[Slot(layer)], Command(layer, i), Checked(i == index));
}

void Wardrobe::WearFile(Layer layer, const std::string& fileName) {
    const size_t slot = Slot(layer);
    wornFile_[slot] = fileName;
    for (int i = 1; i <= static_cast<int>(Names(layer).size()); ++i) CheckMenuItem(menus_[slot], Command(layer, i), Checked(false));
    for (size_t i = 0; i < folder_[slot].size(); ++i)
        CheckMenuItem(menus_[slot], FirstFolderCommand[slot] + static_cast<UINT>(i), Checked(folder_[slot][i].fileName == fileName));
}

bool Wardrobe::WearsCatgirl() const {
    const int worn = Worn(Layer::One);
    const std::vector<std::string>& names = Names(Layer::One);
    return WornFile(Layer::One).empty() && worn >= 1 && static_cast<size_t>(worn) <= names.size() &&
           names[static_cast<size_t>(worn) - 1] == "Catgirl";
}

std::optional<CostumeChoice> Wardrobe::ChoiceOf(UINT command) const {
    for (Layer layer : BothLayers) {
        const int index = static_cast<int>(command) - static_cast<int>(Command(layer, 0));
        if (index >= 1 && static_cast<size_t>(index) <= Names(layer).size()) return CostumeChoice{layer, index, ""};
        const std::vector<costumes::Costume>& folder = folder_[Slot(layer)];
        const UINT position = command - FirstFolderCommand[Slot(layer)];  // past the list when below it, too
        if (position < folder.size()) return CostumeChoice{layer, 0, folder[position].fileName};
    }
    return std::nullopt;
}

std::optional<Layer> Wardrobe::FolderToOpen(UINT command) {
    for (Layer layer : BothLayers)
        if (command == OpenFolderCommand[Slot(layer)]) return layer;
    return std::nullopt;
}
