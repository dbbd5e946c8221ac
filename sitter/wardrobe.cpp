#include "sitter/wardrobe.h"

#include "platform/text.h"

namespace {

constexpr UINT FirstCommand[] = {1100, 1200};  // plus the costume index, per layer

}  // namespace

Wardrobe::Wardrobe(std::array<HMENU, 2> menus) : menus_(menus) {}

UINT Wardrobe::Command(Layer layer, int index) { return FirstCommand[Slot(layer)] + static_cast<UINT>(index); }

void Wardrobe::Stock(Layer layer, std::vector<std::string> names) {
    names_[Slot(layer)] = std::move(names);
    const std::vector<std::string>& stocked = names_[Slot(layer)];
    for (size_t i = 1; i <= stocked.size(); ++i)
        AppendMenuW(menus_[Slot(layer)], MF_STRING, Command(layer, static_cast<int>(i)), platform::Widen(stocked[i - 1]).c_str());
}

void Wardrobe::Wear(Layer layer, int index) {
    worn_[Slot(layer)] = index > 0 ? index : 1;
    for (int i = 1; i <= static_cast<int>(Names(layer).size()); ++i)
        CheckMenuItem(menus_[Slot(layer)], Command(layer, i), MF_BYCOMMAND | (i == index ? MF_CHECKED : MF_UNCHECKED));
}

bool Wardrobe::WearsCatgirl() const {
    const int worn = Worn(Layer::One);
    const std::vector<std::string>& names = Names(Layer::One);
    return worn >= 1 && static_cast<size_t>(worn) <= names.size() && names[static_cast<size_t>(worn) - 1] == "Catgirl";
}

std::optional<CostumeChoice> Wardrobe::ChoiceOf(UINT command) const {
    for (Layer layer : BothLayers) {
        const int index = static_cast<int>(command) - static_cast<int>(Command(layer, 0));
        if (index >= 1 && static_cast<size_t>(index) <= Names(layer).size()) return CostumeChoice{layer, index};
    }
    return std::nullopt;
}
