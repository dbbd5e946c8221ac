// Start-up of the character's window, in a fixed order: metrics, costume menus, settings, pictures, and the
// window itself. Each phase reports its failures in a message box and then goes on or ends the program.
#include "platform/error.h"
#include "platform/host.h"
#include "platform/layered.h"
#include "platform/desktop.h"
#include "platform/number.h"
#include "platform/text.h"
#include "platform/units.h"
#include "resource_ids.h"
#include "sitter/seat.h"
#include "sitter/settings.h"
#include "sitter/sitter_window.h"
#include "sitter/tray_icon.h"

using platform::Error;
using platform::ErrorLine;
using platform::ShowMessage;

namespace {

const std::string Paragraph = "\r\n\r\n";
const std::string GoesOn = Paragraph + "Loading can continue.";

// The number after the first colon of a metric string ("Butt height: 92").
double Metric(int id) {
    const std::optional<double> number = platform::MetricValue(platform::LoadStringResource(id));
    if (!number) platform::RaiseMalformedMetric();
    return *number;
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

void SitterWindow::OnCreate() {
    periodsStart_ = GetTickCount64();
    ReadMetricsAndFirstNames();
    BuildCostumeMenus();
    ReadSettings();
    LoadPictures();
    SetUpWindow();
}

// Without the metrics and the first name list nothing can be drawn.
void SitterWindow::ReadMetricsAndFirstNames() {
    try {
        loading_ = "butt height";
        buttHeightTwips_ = platform::RoundHalfEvenToInt32(Metric(IDS_BUTT_HEIGHT) * platform::TwipsPerPixelAt(platform::SystemDpi().y));
        loading_ = "blink X position";
        blink_.x = platform::RoundHalfEvenToInt32(Metric(IDS_BLINK_X));
        loading_ = "blink Y position";
        blink_.y = platform::RoundHalfEvenToInt32(Metric(IDS_BLINK_Y));
        wardrobe(Layer::One).names = platform::Split(platform::LoadStringResource(CostumeNamesString(Layer::One)), ", ");
    } catch (const Error& e) {
        ShowMessage("Bad metrics for " + loading_ + " value:" + Paragraph + ErrorLine(e));
        platform::EndProgram(1);
    }
}

void SitterWindow::AddCostumeItems(Layer layer) {
    const std::vector<std::string>& names = wardrobe(layer).names;
    for (size_t i = 1; i <= names.size(); ++i) {
        loading_ = std::to_string(i);
        AppendMenuA(wardrobe(layer).menu, MF_STRING | MF_ENABLED | MF_UNCHECKED,
                    CostumeCommand(layer, static_cast<int>(i)), names[i - 1].c_str());
    }
}

// Without the second name list the second layer has no items; start-up goes on.
void SitterWindow::BuildCostumeMenus() {
    AddCostumeItems(Layer::One);
    try {
        wardrobe(Layer::Two).names = platform::Split(platform::LoadStringResource(CostumeNamesString(Layer::Two)), ", ");
    } catch (const Error& e) {
        ShowMessage("Cannot load name for costume #" + loading_ + ":" + Paragraph + ErrorLine(e) + GoesOn);
    }
    AddCostumeItems(Layer::Two);
}

// A value that cannot be read keeps its default; a costume index of 0 is repaired to 1, and one that names
// no costume is taken as 1 for this run.
void SitterWindow::ReadSettings() {
    settings::StartupReader reader;
    auto cannotRead = [&](const Error& e) {
        ShowMessage("Cannot read " + loading_ + " registry value:" + Paragraph + ErrorLine(e) + GoesOn);
    };
    auto badIndex = [](const Error& e) { ShowMessage("Bad costume index:" + Paragraph + ErrorLine(e) + GoesOn); };

    try {
        loading_ = settings::Distance;
        distance_ = reader.Number(settings::Distance);
    } catch (const Error& e) {
        cannotRead(e);
    }
    try {
        loading_ = settings::Mirrored;
        mirrored_ = reader.Number(settings::Mirrored) != 0;
    } catch (const Error& e) {
        cannotRead(e);
    }
    for (Layer layer : BothLayers) {
        const char* name = CostumeSetting(layer);
        loading_ = name;
        bool zero = true;  // a comparison that fails counts as a zero, so 1 is written
        try {
            zero = reader.IsZero(name);
        } catch (const Error& e) {
            cannotRead(e);
        }
        if (zero) {
            try {
                reader.RepairCostume(name);
            } catch (const Error& e) {
                cannotRead(e);
            }
        }
        std::string text = "1";  // what a text that cannot be read is taken as
        try {
            text = reader.Text(name);
        } catch (const Error& e) {
            badIndex(e);
        }
        int& current = wardrobe(layer).current;
        try {
            current = CostumeIndex(text, wardrobe(layer).names.size());
            CheckCostume(layer, current);
        } catch (const Error& e) {
            badIndex(e);
            current = 1;
        }
    }
}

// Every costume's bitmap must exist.
void SitterWindow::LoadPictures() {
    try {
        for (Layer layer : BothLayers) {
            const std::vector<std::string>& names = wardrobe(layer).names;
            for (size_t i = 1; i <= names.size(); ++i) {
                loading_ = names[i - 1];
                platform::LoadBitmapResource(CostumeBitmap(layer, static_cast<int>(i)));
            }
        }
        pictures_.blinkHalf.CreateFromPicture(platform::LoadBitmapResource(IDB_BLINK_HALF).get());
        pictures_.blinkClosed.CreateFromPicture(platform::LoadBitmapResource(IDB_BLINK_CLOSED).get());
        pictures_.base.CreateFromPicture(platform::LoadBitmapResource(IDB_BASE).get());
        for (Layer layer : BothLayers)
            pictures_.costume[static_cast<size_t>(layer)].CreateFromPicture(
                platform::LoadBitmapResource(CostumeBitmap(layer, wardrobe(layer).current)).get());
        ComposeFrames();
    } catch (const Error& e) {
        ShowMessage("Cannot load image for costume \"" + loading_ + "\" due to missing bitmap resource:" + Paragraph +
                    ErrorLine(e));
        platform::EndProgram(1);
    }
}

// Topmost, colour-keyed, parked off the screen until tracking seats it.
void SitterWindow::SetUpWindow() {
    try {
        platform::MakeColourKeyed(hwnd(), platform::CharacterColourKey);
        SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        Repaint();
        platform::ProcessPendingEvents();
        const POINT parked = ParkedOutside(platform::VirtualScreen(), Metrics());
        bounds_ = RECT{parked.x, parked.y, parked.x + pictures_.base.Width(), parked.y + pictures_.base.Height()};
        SetBounds(bounds_);
        SetForegroundWindow(GetWindow(hwnd(), GW_HWNDPREV));
        trackingTimer_.SetEnabled(true);
        windowEvents_ = std::make_unique<WindowEvents>([this](WindowEvents::Kind kind, HWND window) { OnWindowEvent(kind, window); });
        trayIcon_ = std::make_unique<TrayIcon>(hwnd());
        trayIcon_->Add();  // where the shell has no notification area, the character alone must do
    } catch (const Error& e) {
        ShowMessage("Something vague happened:" + Paragraph + ErrorLine(e));
        platform::EndProgram(1);
    }
}
