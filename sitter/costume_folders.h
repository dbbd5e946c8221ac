#pragma once
// The costume folders of both layers as the character lives with them: made when missing and watched, their
// costumes listed in the wardrobe's menus, the folder costume worn kept in step with its file, and what the
// character has to say about the folders said once. Dressing a layer in a costume, built-in or from a folder.
#include <array>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "costumes/picture.h"
#include "platform/handles.h"
#include "platform/window.h"
#include "sitter/frame_set.h"
#include "sitter/wardrobe.h"

// The layer's built-in costume `index`; raises what loading its bitmap raises.
void DressInBuiltIn(CharacterPictures& pictures, Layer layer, int index);
// The folder costume's file decoded (costumes::LoadCostume), from the layer's folder.
costumes::CostumePicture LoadFolderCostume(Layer layer, const std::string& fileName);
// The decoded picture worn on the layer; one that holds none changes nothing.
void Dress(CharacterPictures& pictures, Layer layer, const costumes::CostumePicture& costume);

class CostumeFolders {
public:
    // A file still being copied is read once its folder has been still this long.
    static constexpr unsigned SettleMs = 250;

    // `onSettled` runs once a folder that changed has been still for SettleMs; `owner` keeps the timer for that.
    CostumeFolders(platform::Window& owner, std::function<void()> onSettled);

    // Makes the folders when missing and watches them, and the folder that holds them, before the program's loop
    // waits on the watches.
    void Watch();
    // The watches with what to do when they are signalled, for the program's loop as long as this object lives. A
    // watch that breaks is replaced in place.
    const std::vector<platform::WaitedHandle>& Watches() const { return waited_; }

    // What a scan changed: whether the character must be drawn anew, and what it says ("" for nothing).
    struct Outcome {
        bool redraw = false;
        std::string toSay;
    };
    // Reads the folders that changed since they were last read (both, the first time) and lists their costumes in the
    // wardrobe's menus. The folder costume worn there is decoded anew from its file; when that file is gone, the
    // layer's built-in costume is worn again and the stored name cleared. A worn file that is there but cannot be read
    // keeps what is worn. Bad files are told of once each.
    Outcome Scan(Wardrobe& wardrobe, CharacterPictures& pictures);
    // Asks for `onSettled` again, SettleMs from now.
    void ScanLater() { settle_.SetEnabled(true); }

    // Shows the layer's folder in Explorer.
    static void Open(Layer layer);

private:
    void WatchAnew();
    void WatchAnew(Layer layer);
    void OnChanged(Layer layer);

    std::array<platform::UniqueChangeNotification, 3> watches_;  // by layer, then the folder that holds both
    std::vector<platform::WaitedHandle> waited_;  // one for each watch
    std::array<std::set<std::string>, 2> said_;     // the complaints said about each folder, by costumes::ComplaintsToSay
    std::array<std::string, 2> leftOutSaid_;        // the note on costumes left out last said about each folder
    std::array<bool, 2> changed_{true, true};       // since the folder was last read
    std::function<void()> onSettled_;
    platform::Timer settle_;
};
