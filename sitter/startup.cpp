#include "sitter/startup.h"

#include "platform/error.h"
#include "platform/host.h"
#include "platform/number.h"
#include "platform/text.h"
#include "resource_ids.h"
#include "sitter/costume_folders.h"
#include "sitter/settings.h"

namespace {

const std::string Paragraph = "\r\n\r\n";
const std::string GoesOn = Paragraph + "Loading can continue.";

// The number after the first colon of a metric string ("Butt height: 92").
double Metric(int id) {
    const std::optional<double> number = platform::MetricValue(platform::LoadStringResource(id));
    if (!number) platform::RaiseMalformedMetric();
    return *number;
}

std::vector<std::string> CostumeNames(Layer layer) {
    return platform::Split(platform::LoadStringResource(CostumeNamesString(layer)), ", ");
}

// A costume index as the text a setting holds: a 16-bit number naming an item of the layer's `count`, or 0.
int CostumeIndex(const std::string& text, size_t count) {
    const std::optional<double> number = platform::ParseNumericText(text);
    if (!number) platform::RaiseTypeMismatch();
    const int index = platform::RoundHalfEvenToInt16(*number);
    if (index < 0 || static_cast<size_t>(index) > count) platform::RaiseNoSuchCostume(index);
    return index;
}

}  // namespace

bool Startup::Attempt(Failure failure, const std::string& item, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const platform::Error& e) {
        const std::string line = platform::ErrorLine(e);
        switch (failure) {
            case Failure::BadMetric: platform::ShowMessage("Bad metrics for " + item + " value:" + Paragraph + line); break;
            case Failure::CostumeName:
                platform::ShowMessage("Cannot load name for costume #" + item + ":" + Paragraph + line + GoesOn);
                break;
            case Failure::UnreadableSetting:
                platform::ShowMessage("Cannot read " + item + " registry value:" + Paragraph + line + GoesOn);
                break;
            case Failure::BadCostumeIndex: platform::ShowMessage("Bad costume index:" + Paragraph + line + GoesOn); break;
            case Failure::MissingBitmap:
                platform::ShowMessage("Cannot load image for costume \"" + item + "\" due to missing bitmap resource:" +
                                      Paragraph + line);
                break;
            case Failure::Vague: platform::ShowMessage("Something vague happened:" + Paragraph + line); break;
        }
        return false;
    }
}

// Without the metrics and the first name list nothing can be drawn.
bool Startup::ReadMetrics(ArtMetrics& metrics, Wardrobe& wardrobe) {
    return Attempt(Failure::BadMetric, "butt height",
                   [&] { metrics.buttHeight = platform::RoundHalfEvenToInt32(Metric(IDS_BUTT_HEIGHT)); }) &&
           Attempt(Failure::BadMetric, "blink X position",
                   [&] { metrics.blinkAt.x = platform::RoundHalfEvenToInt32(Metric(IDS_BLINK_X)); }) &&
           Attempt(Failure::BadMetric, "blink Y position", [&] {
               metrics.blinkAt.y = platform::RoundHalfEvenToInt32(Metric(IDS_BLINK_Y));
               wardrobe.Stock(Layer::One, CostumeNames(Layer::One));
           });
}

// Without the second name list the second layer has no costumes; start-up goes on. The message names the
// last costume of the first layer, the one listed before.
void Startup::ReadSecondNames(Wardrobe& wardrobe) {
    std::vector<std::string> names;
    Attempt(Failure::CostumeName, std::to_string(wardrobe.Names(Layer::One).size()),
            [&] { names = CostumeNames(Layer::Two); });
    wardrobe.Stock(Layer::Two, std::move(names));
}

// A value that cannot be read keeps its default; a costume index of 0 is repaired to 1, and one that names
// no costume is taken as 1 for this run.
void Startup::ReadSettings(Preferences& preferences, Wardrobe& wardrobe) {
    settings::StartupReader reader;
    Attempt(Failure::UnreadableSetting, settings::Distance, [&] { preferences.distance = reader.Number(settings::Distance); });
    Attempt(Failure::UnreadableSetting, settings::Mirrored, [&] { preferences.mirrored = reader.Number(settings::Mirrored) != 0; });
    for (Layer layer : BothLayers) {
        const char* name = CostumeSetting(layer);
        bool zero = true;  // a comparison that fails counts as a zero, so 1 is written
        Attempt(Failure::UnreadableSetting, name, [&] { zero = reader.IsZero(name); });
        if (zero) Attempt(Failure::UnreadableSetting, name, [&] { reader.RepairCostume(name); });
        std::string text = "1";  // what a text that cannot be read is taken as
        Attempt(Failure::BadCostumeIndex, name, [&] { text = reader.Text(name); });
        int index = 0;
        Attempt(Failure::BadCostumeIndex, name, [&] { index = CostumeIndex(text, wardrobe.Names(layer).size()); });
        wardrobe.Wear(layer, index);
    }
    preferences.sizePercent = settings::StoredSize();  // without a word: any Size the menu does not offer is 100 %
}

// Every costume's bitmap must exist. A failure after the costumes names the last one examined.
bool Startup::LoadPictures(const Wardrobe& wardrobe, CharacterPictures& pictures) {
    std::string examined = CostumeSetting(Layer::Two);
    for (Layer layer : BothLayers) {
        const std::vector<std::string>& names = wardrobe.Names(layer);
        for (size_t i = 1; i <= names.size(); ++i) {
            examined = names[i - 1];
            if (!Attempt(Failure::MissingBitmap, examined,
                         [&] { platform::LoadBitmapResource(CostumeBitmap(layer, static_cast<int>(i))); }))
                return false;
        }
    }
    return Attempt(Failure::MissingBitmap, examined, [&] {
        pictures.blinkHalf.CreateFromPicture(platform::LoadBitmapResource(IDB_BLINK_HALF).get());
        pictures.blinkClosed.CreateFromPicture(platform::LoadBitmapResource(IDB_BLINK_CLOSED).get());
        pictures.base.CreateFromPicture(platform::LoadBitmapResource(IDB_BASE).get());
        for (Layer layer : BothLayers)
            pictures.costume[static_cast<size_t>(layer)].CreateFromPicture(
                platform::LoadBitmapResource(CostumeBitmap(layer, wardrobe.Worn(layer))).get());
    });
}

// A folder costume stored by its file name is worn when that file can be, and only that file is decoded. One that
// cannot is forgotten without a word: the built-in costume stays on.
void Startup::WearStoredFiles(Wardrobe& wardrobe, CharacterPictures& pictures) {
    for (Layer layer : BothLayers) {
        const char* name = CostumeFileSetting(layer);
        const std::optional<std::string> fileName = settings::StoredText(name);
        if (!fileName) continue;
        costumes::CostumePicture costume;
        try {
            if (!fileName->empty()) costume = LoadFolderCostume(layer, *fileName);
            if (!costume.picture) settings::Erase(name);
        } catch (const platform::Error&) {
            // Not worn, and cleared when the registry lets it be.
        }
        Dress(pictures, layer, costume);
        if (costume.picture) wardrobe.WearFile(layer, *fileName);
    }
}

std::unique_ptr<Character> Startup::Run() {
    Startup startup;
    auto c = std::make_unique<Character>();
    if (!startup.ReadMetrics(c->art, c->wardrobe)) return nullptr;
    startup.ReadSecondNames(c->wardrobe);
    startup.ReadSettings(c->preferences, c->wardrobe);
    if (!startup.LoadPictures(c->wardrobe, c->pictures)) return nullptr;
    WearStoredFiles(c->wardrobe, c->pictures);
    c->menu.CheckSize(c->preferences.sizePercent);
    return c;
}

bool Startup::OpenWindow(const std::function<void()>& openWindow) { return Startup().Attempt(Failure::Vague, "", openWindow); }
