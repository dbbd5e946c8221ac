#pragma once
// The two costume layers: layer 1 ("Costume 1") is drawn over the blinking eyes, layer 2 under them.
#include <array>

#include "resource_ids.h"

enum class Layer { One, Two };
inline constexpr std::array<Layer, 2> BothLayers{Layer::One, Layer::Two};

// The bitmap resource of costume `index` (counted from 1) of a layer.
inline constexpr int CostumeBitmap(Layer layer, int index) { return (layer == Layer::One ? IDB_COSTUME1_BEFORE_FIRST : IDB_COSTUME2_BEFORE_FIRST) + index; }

// The string resource that names a layer's costumes, ", " between the names.
inline constexpr int CostumeNamesString(Layer layer) { return layer == Layer::One ? IDS_COSTUMES1 : IDS_COSTUMES2; }

// The setting that keeps a layer's costume index: the last built-in costume chosen.
inline constexpr const char* CostumeSetting(Layer layer) { return layer == Layer::One ? "Costume" : "Costume2"; }
// The setting that keeps the file name of the folder costume a layer wears, while it wears one.
inline constexpr const char* CostumeFileSetting(Layer layer) { return layer == Layer::One ? "CostumeFile" : "Costume2File"; }
// The layer's number, as the menus and the costume folders name it.
inline constexpr int LayerNumber(Layer layer) { return layer == Layer::One ? 1 : 2; }
