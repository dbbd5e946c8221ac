// The costume folders: headers, sizes and bad files in a scan, the order of the menus, the decoder's pixel rules,
// and the watch in the program's loop. Every file is made here, in a folder of the test's own.
#include <wincodec.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "costumes/header.h"
#include "costumes/picture.h"
#include "platform/window.h"
#include "tests/support/after.h"

using namespace costumes;
namespace fs = std::filesystem;

namespace {

// A folder of the test's own, gone with what it holds afterwards.
struct TempFolder {
    TempFolder() { fs::remove_all(path, error), fs::create_directories(path); }
    ~TempFolder() { fs::remove_all(path, error); }
    fs::path path = fs::temp_directory_path() / (std::string("pellory-") + testing::UnitTest::GetInstance()->current_test_info()->name());
    std::error_code error;
};

void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

// A picture of 32-bit blue, green, red, alpha pixels, encoded by WIC in `container` as `format` (a palette of the
// first four pixels' colours for the indexed ones).
void Save(const fs::path& file, int w, int h, const std::vector<uint32_t>& argb, const GUID& container, GUID format) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory; IWICStream* stream; IWICBitmapEncoder* encoder; IWICBitmapFrameEncode* frame;
    IWICBitmap* bitmap; IWICFormatConverter* converter; IWICPalette* palette;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)));
    factory->CreateStream(&stream), stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE);
    factory->CreateEncoder(container, nullptr, &encoder), encoder->Initialize(stream, WICBitmapEncoderNoCache);
    encoder->CreateNewFrame(&frame, nullptr), frame->Initialize(nullptr), frame->SetSize(w, h), frame->SetPixelFormat(&format);
    factory->CreateBitmapFromMemory(w, h, GUID_WICPixelFormat32bppBGRA, 4 * w, 4 * w * h, (BYTE*)argb.data(), &bitmap);
    factory->CreatePalette(&palette), palette->InitializeCustom((WICColor*)argb.data(), 4), frame->SetPalette(palette);
    factory->CreateFormatConverter(&converter);
    converter->Initialize(bitmap, format, WICBitmapDitherTypeNone, palette, 0, WICBitmapPaletteTypeCustom);
    EXPECT_HRESULT_SUCCEEDED(frame->WriteSource(converter, nullptr)) << file;
    frame->Commit(), encoder->Commit();
    for (IUnknown* u : std::initializer_list<IUnknown*>{converter, palette, bitmap, frame, encoder, stream, factory}) u->Release();
}

void SavePng(const fs::path& file, int w, int h) { Save(file, w, h, std::vector<uint32_t>(w * h), GUID_ContainerFormatPng, GUID_WICPixelFormat32bppBGRA); }

// The tests run under Wine, which makes no links through CreateSymbolicLinkW (it reports success all the same, and
// WIC finds no encoder after it), and whose DeleteFileW removes a Unix link's target, not the link: the test makes
// and removes a Unix link.
struct OutsideLink {
    OutsideLink(const fs::path& link, const fs::path& target) {
        using UnixName = char*(CDECL*)(const wchar_t*);
        const auto unixName = reinterpret_cast<UnixName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
        unixLink = std::string("\"") + unixName(link.c_str()) + '"';
        Run("Z:\\bin\\ln", std::string("ln -s \"") + unixName(target.c_str()) + "\" " + unixLink, [&] { return fs::exists(link); });
        path = link;
    }
    ~OutsideLink() {
        if (!unixLink.empty()) Run("Z:\\bin\\rm", "rm " + unixLink, [&] { return !fs::exists(path); });
    }
    // A Unix program, which Wine starts but cannot wait for: the test waits for what it does instead.
    static void Run(const char* program, std::string commandLine, const std::function<bool()>& done) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
        CloseHandle(process.hProcess), CloseHandle(process.hThread);
        for (int i = 0; i < 500 && !done(); ++i) Sleep(10);
        EXPECT_TRUE(done()) << commandLine;
    }
    fs::path path;
    std::string unixLink;
};

HANDLE OpenUnshared(const fs::path& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::string Pixel(const cDIBSection& b, int32_t x, int32_t y) {
    const auto* p = static_cast<const uint8_t*>(b.DIBSectionBitsPtr()) + (b.Height() - 1 - y) * b.BytesPerScanLine() + 3 * x;
    return std::to_string(p[2]) + "," + std::to_string(p[1]) + "," + std::to_string(p[0]);
}

}  // namespace

TEST(ReadImageHeader, TakesEachFormatsSizeAndNothingElse) {
    using std::string_literals::operator""s;
    const std::string png = "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR"s, bmp = "BM"s + std::string(12, '\0');
    const struct { std::string bytes; ImageFormat format; int64_t w, h; } cases[] = {
        {png + "\0\0\0\x4d\0\0\0\x7e"s, ImageFormat::Png, 77, 126},
        {png + "\0\x01\x86\xa0\0\x01\x86\xa0"s, ImageFormat::Png, 100000, 100000},
        {png + "\0\0\0\x4d\0\0\0"s, ImageFormat::None, 0, 0},                        // cut short
        {"\x89PNG\r\n\x1a\n\0\0\0\x0dIHDX\0\0\0\x4d\0\0\0\x7e"s, ImageFormat::None, 0, 0},  // no IHDR first
        {"GIF87a\x9a\x00\xf8\x01"s, ImageFormat::Gif, 154, 504},
        {"GIF90a\x4d\x00\x7e\x00"s, ImageFormat::None, 0, 0},
        {bmp + "\x0c\0\0\0\x4d\0\x7e\0\x01\0\x18\0"s, ImageFormat::Bmp, 77, 126},  // core header, 16-bit sides
        {bmp + "\x28\0\0\0\xe7\0\0\0\x86\xfe\xff\xff"s, ImageFormat::Bmp, 231, 378},  // top-down
        {bmp + "\x7c\0\0\0\x4d\0\0\0\x7e\0\0\0"s, ImageFormat::Bmp, 77, 126},
        {bmp + "\x0b\0\0\0\x4d\0\0\0\x7e\0\0\0"s, ImageFormat::None, 0, 0},
        {"hello, I am a text"s, ImageFormat::None, 0, 0},
    };
    for (const auto& c : cases) {
        const ImageHeader header = ReadImageHeader(std::span(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()));
        EXPECT_EQ(std::tuple(header.format, header.width, header.height), std::tuple(c.format, c.w, c.h)) << c.bytes;
    }
}

// Good files among every kind of bad one: each bad one is refused for its reason, said once; nothing is decoded.
TEST(ScanFolder, ListsWhatFitsAndRefusesEachBadFileForItsReason) {
    TempFolder temp;
    const fs::path folder = temp.path / "Costume 1";
    fs::create_directories(folder), fs::create_directories(folder / "a folder.png");
    for (const auto& [name, w, h] : {std::tuple("one", 77, 126), {"two", 154, 252}, {"three", 231, 378}, {"four", 308, 504},
                                     {"wide", 78, 126}, {"cape", 80, 120}, {"five", 385, 630}})
        SavePng(folder / (std::string(name) + ".png"), w, h);
    Write(folder / "empty.png", "");
    Write(folder / "notes.png", "hello, I am a text");
    Write(folder / "huge.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0", 24) + std::string(100, 'x'));
    Write(folder / "photo.JPG", "\xff\xd8\xff");
    Write(folder / "README.txt", "Draw 77 x 126."), Write(folder / "Template.PNG", "the guide");
    fs::copy_file(folder / "one.png", folder / "big.png"), fs::resize_file(folder / "big.png", 8 << 20 | 1);
    fs::copy_file(folder / "one.png", temp.path / "outside.png");
    const OutsideLink link(folder / "link.png", temp.path / "outside.png");
    fs::copy_file(folder / "one.png", folder / "locked.png");
    HANDLE locked = OpenUnshared(folder / "locked.png");

    const FolderContents contents = ScanFolder(folder.wstring());
    std::vector<std::tuple<std::string, std::string, int>> listed;
    for (const Costume& c : contents.costumes) listed.emplace_back(c.name, c.fileName, c.detail);
    EXPECT_EQ(listed, (decltype(listed){{"four", "four.png", 4}, {"one", "one.png", 1}, {"three", "three.png", 3}, {"two", "two.png", 2}}));
    std::vector<std::string> refused;
    for (const Refusal& r : contents.refusals) refused.push_back(Complaint(r));
    const std::string wear = "I can't wear \"";
    EXPECT_EQ(refused, (std::vector<std::string>{
        wear + "big.png\": it is larger than 8 MB.", wear + "cape.png\": it is 80 x 120, and I need 77 x 126.",
        wear + "empty.png\": it is empty.", wear + "five.png\": it is 385 x 630, and I need 77 x 126.",
        wear + "huge.png\": it is 100000 x 100000, and I need 77 x 126.",
        wear + "link.png\": it is a link, and I only wear what really lies in my folder.",
        wear + "locked.png\": another program has it open. I'll try again when my folder changes.",
        wear + "notes.png\": it is not a PNG, BMP or GIF picture.", wear + "photo.JPG\": it is not a PNG, BMP or GIF picture.",
        wear + "wide.png\": it is 78 x 126, and I need 77 x 126."}));
    // Wearing checks again, before any decoder sees the file; a stored name cannot lead out of the folder either.
    for (const auto& [name, problem] : {std::pair("huge.png", Problem::WrongSize), {"link.png", Problem::Link}, {"..\\outside.png", Problem::Link},
                                        {"locked.png", Problem::Locked}, {"big.png", Problem::TooLarge}, {"gone.png", Problem::Gone}}) {
        const CostumePicture worn = LoadCostume(folder.wstring(), name);
        EXPECT_EQ(std::pair(worn.picture.get(), worn.refusal.problem), std::pair((cDIBSection*)nullptr, problem)) << name;
    }

    std::set<std::string> said;
    EXPECT_EQ(ComplaintsToSay(contents, said).size(), 10u);
    EXPECT_EQ(ComplaintsToSay(contents, said).size(), 0u) << "said twice";
    CloseHandle(locked);
    const FolderContents unlocked = ScanFolder(folder.wstring());
    EXPECT_EQ(std::pair(unlocked.costumes.size(), unlocked.refusals.size()), std::pair(size_t{5}, size_t{9}));
    EXPECT_EQ(ComplaintsToSay(unlocked, said).size(), 0u);
}

// The folders are made where %APPDATA% says, every level of them; a folder that cannot be read is told of, one that is
// gone is not. (One that is a file is told of end to end.)
TEST(ScanFolder, TellsOfAFolderItCannotReadOrThatIsAFile) {
    TempFolder temp;
    wchar_t appData[MAX_PATH];
    GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), SetEnvironmentVariableW(L"APPDATA", (temp.path / "Roaming").c_str());
    MakeCostumeFolder(2);
    EXPECT_TRUE(fs::is_directory(temp.path / "Roaming/Pellory/Costumes/Costume 2"));
    SetEnvironmentVariableW(L"APPDATA", appData);
    fs::create_directories(temp.path / "Costume 1");
    HANDLE held = OpenUnshared(temp.path / "Costume 1");
    std::vector<std::string> said;
    for (const char* name : {"Costume 1", "Costume 3"})
        for (const Refusal& r : ScanFolder((temp.path / name).wstring()).refusals) said.push_back(Complaint(r));
    CloseHandle(held);
    EXPECT_EQ(said, std::vector<std::string>{"I can't look into my \"Costume 1\" folder: I can't read it."}) << "one that is gone is no news";
}

// As Explorer sorts: numbers by value, then Latin, Cyrillic and Japanese; the first 100 listed, the rest counted.
TEST(ScanFolder, SortsAsExplorerDoesAndListsTheFirstHundred) {
    TempFolder temp;
    SavePng(temp.path / "10.png", 77, 126);
    std::vector<std::string> names = {"ん 1", "Привет", "2", "a&b", "こんにちは", "10"};
    for (int i = 2; i <= 100; ++i) names.push_back("ん " + std::to_string(i));
    for (const std::string& name : names)
        if (name != "10") fs::copy_file(temp.path / "10.png", temp.path / fs::u8path(name + ".png"));
    const FolderContents contents = ScanFolder(temp.path.wstring());
    std::vector<std::string> first, last;
    for (size_t i = 0; i < contents.costumes.size(); ++i) (i < 6 ? first : last).push_back(MenuText(contents.costumes[i].name));
    EXPECT_EQ(first, (std::vector<std::string>{"2", "10", "a&&b", "Привет", "こんにちは", "ん 1"}));
    EXPECT_EQ(std::tuple(last.size(), last.empty() ? "" : last.back(), contents.leftOut), std::tuple(size_t{94}, "ん 95", size_t{5}));
    EXPECT_EQ(LeftOutNote(temp.path / "Costume 1", contents),
              "I can only list 100 costumes from my \"Costume 1\" folder: 5 more are left out.");
}

// Alpha from 128 is drawn; without transparency pure red is left out; a drawn red or black stays drawn (254,0,0
// and 1,1,1), and other colours stay as they are. Names in any script are read.
TEST(LoadCostume, DrawsFromAlpha128AndKeepsTheRedKeyOnlyWithoutTransparency) {
    TempFolder temp;
    const std::vector<uint32_t> row = {0x7F1E140A, 0x800A141E, 0xFFFF0000, 0xFF000000, 0x00FFFFFF, 0xFFFE0000};
    std::vector<uint32_t> small(77 * 126), large(154 * 252);
    std::copy(row.begin(), row.end(), small.begin()), std::copy(row.begin(), row.end(), large.begin());
    Save(temp.path / "alpha.png", 77, 126, small, GUID_ContainerFormatPng, GUID_WICPixelFormat32bppBGRA);
    Save(temp.path / "twice.png", 154, 252, large, GUID_ContainerFormatPng, GUID_WICPixelFormat32bppBGRA);
    Save(temp.path / "palette.png", 77, 126, small, GUID_ContainerFormatPng, GUID_WICPixelFormat8bppIndexed);
    Save(temp.path / "plain.bmp", 77, 126, small, GUID_ContainerFormatBmp, GUID_WICPixelFormat24bppBGR);
    Save(temp.path / fs::u8path("無地.gif"), 77, 126, small, GUID_ContainerFormatGif, GUID_WICPixelFormat8bppIndexed);
    const std::string key = "255,0,0";
    const std::map<std::string, std::vector<std::string>> expected = {
        {"alpha.png", {key, "10,20,30", "254,0,0", "1,1,1", key, "254,0,0"}},
        {"twice.png", {key, "10,20,30", "254,0,0", "1,1,1", key, "254,0,0"}},
        {"palette.png", {key, "10,20,30", "254,0,0", "1,1,1"}},
        {"plain.bmp", {"30,20,10", "10,20,30", key, "1,1,1", "255,255,255", "254,0,0"}},
        {"無地.gif", {"30,20,10", "10,20,30", key, "1,1,1"}}};
    for (const auto& [name, pixels] : expected) {
        const CostumePicture worn = LoadCostume(temp.path.wstring(), name);
        ASSERT_TRUE(worn.picture) << name << ": " << Complaint(worn.refusal);
        const int detail = name == "twice.png" ? 2 : 1;
        EXPECT_EQ(std::tuple(worn.detail, worn.picture->Width(), worn.picture->Height()), std::tuple(detail, 77 * detail, 126 * detail));
        std::vector<std::string> drawn;
        for (int32_t x = 0; x < int32_t(pixels.size()); ++x) drawn.push_back(Pixel(*worn.picture, x, 0));
        EXPECT_EQ(drawn, pixels) << name;
    }
}

// Adding, renaming, writing and removing a file signal the watch, through the program's loop; nothing, and reading
// a file, do not. A step that signals is followed by the next once its signal is in, one that does not after 300 ms.
TEST(WatchFolder, SignalsTheLoopWhenAFileIsAddedRenamedWrittenOrRemovedAndOnlyThen) {
    TempFolder temp;
    Write(temp.path / "read.png", "x");
    const platform::UniqueChangeNotification watch = WatchFolder(temp.path.wstring());
    ASSERT_TRUE(watch);
    const fs::path cape = temp.path / "cape.png", cloak = temp.path / "cloak.png";
    const struct { std::string name; bool signals; std::function<void()> action; } steps[] = {
        {"nothing", false, [] {}},
        {"read", false, [&] { std::ifstream(temp.path / "read.png").get(); }},
        {"add", true, [&] { Write(cape, "x"); }},
        {"rename", true, [&] { fs::rename(cape, cloak); }},
        {"write", true, [&] { std::ofstream(cloak, std::ios::app) << "more"; }},
        {"remove", true, [&] { fs::remove(cloak); }}};
    size_t at = 0;
    std::function<void()> next = [&] {
        if (at == std::size(steps)) return PostQuitMessage(7);
        steps[at].action();
        if (!steps[at++].signals) testing_support::After(300, next);
    };
    std::vector<std::string> woke;
    const platform::WaitedHandle waited{watch.get(), [&] {
        FindNextChangeNotification(watch.get());
        if (at == 0 || (!woke.empty() && woke.back() == steps[at - 1].name)) return;
        woke.push_back(steps[at - 1].name);
        if (steps[at - 1].signals) testing_support::After(1, next);
    }};
    const platform::UniqueKernelHandle quiet(CreateEventW(nullptr, TRUE, FALSE, nullptr));  // waited on first, never set
    const UINT_PTR limit = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); });
    testing_support::After(1, next);
    EXPECT_EQ(platform::RunMessageLoop({{quiet.get(), [] { ADD_FAILURE() << "ran for a handle not signalled"; }}, waited}), 7);
    KillTimer(nullptr, limit);
    EXPECT_EQ(woke, (std::vector<std::string>{"add", "rename", "write", "remove"}));
}
