// Start-up of the character's window: metrics, costume menus, settings, pictures, the window itself.
#include <functional>

#include "platform/error.h"
#include "platform/host.h"
#include "platform/number.h"
#include "platform/screen.h"
#include "platform/variant.h"
#include "registry/cRegistry.h"
#include "resource_ids.h"
#include "sitter/frmSitter.h"
#include "sitter/modLayeredWins.h"

using platform::Error;
using platform::Variant;

namespace {

const std::string CRLF = "\r\n";

std::string ErrorLine(const Error& e) { return "Error #" + std::to_string(e.Number()) + " - " + e.Description(); }

// The number after the first colon of a metric string ("Butt height: 92").
double MetricNumber(int id) {
    const std::optional<double> number = platform::MetricValue(platform::LoadResString(id));
    if (!number) throw Error(platform::err::SubscriptOutOfRange, platform::ExeName(), "Subscript out of range");
    return *number;
}

// Runs one step; a failure is reported and handled by `onFailure`, and start-up goes on.
void Step(const std::function<void()>& step, const std::function<void(const Error&)>& onFailure) {
    try {
        step();
    } catch (const Error& e) {
        onFailure(e);
    }
}

}  // namespace

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size()) {
        parts.push_back(text.substr(start, at - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

void frmSitter::Form_Load() {
    using platform::MsgBox;
    std::string LoadItem;
    std::vector<std::string> names;

    // Metrics and the first name list: without them nothing can be drawn.
    try {
        LoadItem = "butt height";
        ButtHeight = platform::RoundToLong(MetricNumber(IDS_BUTT_HEIGHT) * platform::TwipsPerPixelY());
        LoadItem = "blink X position";
        BlinkX = platform::RoundToLong(MetricNumber(IDS_BLINK_X));
        LoadItem = "blink Y position";
        BlinkY = platform::RoundToLong(MetricNumber(IDS_BLINK_Y));
        names = Split(platform::LoadResString(IDS_COSTUMES1), ", ");
    } catch (const Error& e) {
        MsgBox("Bad metrics for " + LoadItem + " value:" + CRLF + CRLF + ErrorLine(e));
        platform::End(1);
    }

    // Costume menus: a bad name is reported and the menu is built on.
    auto nameFailure = [&](const Error& e) {
        MsgBox("Cannot load name for costume #" + LoadItem + ":" + CRLF + CRLF + ErrorLine(e) + CRLF + CRLF +
               "Loading can continue.");
        if (names.size() > 1) names[1] = "???";
    };
    auto buildMenu = [&](platform::MenuArray& menu, size_t count) {
        for (size_t i = 1; i <= count; ++i) {
            const int index = static_cast<int>(i);
            Step([&] { LoadItem = std::to_string(i); }, nameFailure);
            Step([&] { menu.Load(index); }, nameFailure);
            Step([&] { menu.SetCaption(index, names.at(i - 1)); }, nameFailure);
            Step([&] { menu.SetEnabled(index, true); }, nameFailure);
        }
    };
    const size_t n1 = names.size();
    buildMenu(mnuCos, n1);
    Step([&] { mnuCos.SetVisible(0, false); }, nameFailure);
    size_t n2 = 0;
    Step(
        [&] {
            names = Split(platform::LoadResString(IDS_COSTUMES2), ", ");
            n2 = names.size();
        },
        nameFailure);
    buildMenu(mnuCos2, n2);
    Step([&] { mnuCos2.SetVisible(0, false); }, nameFailure);

    // Settings: unreadable values keep their defaults; a costume index of 0 is repaired to 1.
    {
        cRegistry settings;
        auto readFailure = [&](const Error& e) {
            MsgBox("Cannot read " + LoadItem + " registry value:" + CRLF + CRLF + ErrorLine(e) + CRLF + CRLF +
                   "Loading can continue.");
        };
        Step([&] { LoadItem = "FromSide"; }, readFailure);
        Step([&] { settings.SetClassKey(cRegistry::HKeyCurrentUser); }, readFailure);
        Step([&] { settings.SetSectionKey(RegistryKey); }, readFailure);
        Step([&] { settings.SetValueKey("FromSide"); }, readFailure);
        Step([&] { settings.SetValueType(REG_DWORD); }, readFailure);
        Step([&] { FromSide = settings.Value().ToLong(); }, readFailure);
        Step([&] { LoadItem = "FromLeft"; }, readFailure);
        Step([&] { settings.SetValueKey("FromLeft"); }, readFailure);
        Step([&] { FromLeft = settings.Value().ToLong(); }, readFailure);

        auto readCostume = [&](const char* valueName, platform::MenuArray& menu) {
            bool isZero = true;  // a comparison that fails counts as a zero, so 1 is written
            Step(
                [&] {
                    LoadItem = valueName;
                    settings.SetValueKey(valueName);
                    isZero = settings.Value().EqualsNumber(0);
                },
                readFailure);
            if (isZero) Step([&] { settings.SetValue(Variant(int32_t{1})); }, readFailure);

            auto indexFailure = [&](const Error& e) {
                MsgBox("Bad costume index:" + CRLF + CRLF + ErrorLine(e) + CRLF + CRLF + "Loading can continue.");
                menu.SetTag(0, "1");
            };
            Step([&] { menu.SetTag(0, settings.Value().ToString()); }, indexFailure);
            Step([&] { menu.SetChecked(Variant(menu.Tag(0)).ToInteger(), true); }, indexFailure);
        };
        readCostume("Costume", mnuCos);
        readCostume("Costume2", mnuCos2);
    }

    // Pictures and the frame buffer: every costume's bitmap must exist.
    try {
        for (int i = 1; i <= static_cast<int>(n1); ++i) {
            LoadItem = mnuCos.Caption(i);
            picBase.SetPicture(platform::LoadResPicture(IDB_BASE + i));
        }
        for (int i = 1; i <= static_cast<int>(n2); ++i) {
            LoadItem = mnuCos2.Caption(i);
            picBase.SetPicture(platform::LoadResPicture(IDB_COSTUME2_FIRST - 1 + i));
        }
        picBlink1.SetPicture(platform::LoadResPicture(IDB_BLINK1));
        picBlink2.SetPicture(platform::LoadResPicture(IDB_BLINK2));
        picBase.SetPicture(platform::LoadResPicture(IDB_BASE));
        picCostume.SetPicture(platform::LoadResPicture(IDB_BASE + Variant(mnuCos.Tag(0)).ToLong()));
        picCostume2.SetPicture(platform::LoadResPicture(IDB_COSTUME2_FIRST - 1 + Variant(mnuCos2.Tag(0)).ToLong()));
        FrameBuffer.Create(picBase.PixelWidth(), picBase.PixelHeight());
    } catch (const Error& e) {
        MsgBox("Cannot load image for costume \"" + LoadItem + "\" due to missing bitmap resource:" + CRLF + CRLF +
               ErrorLine(e));
        platform::End(1);
    }

    // The window: topmost, colour-keyed, parked off-screen until tracking seats it.
    try {
        picBase.SetScale(platform::PictureHolder::ScaleMode::Twips);
        MakeColourKeyed(hWnd(), ColourKey);
        SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        Refresh();
        platform::DoEvents();
        Move(-10000, -10000, picBase.ScaleWidth(), picBase.ScaleHeight());
        SetForegroundWindow(GetWindow(hWnd(), GW_HWNDPREV));
        timSitter.SetEnabled(true);
    } catch (const Error& e) {
        MsgBox("Something vague happened:" + CRLF + CRLF + ErrorLine(e));
        platform::End(1);
    }
}
