#pragma once
// Units of the screen: twips (1/1440 inch) per pixel at the system DPI.
namespace platform {

int ScreenDpiX();
int ScreenDpiY();
double TwipsPerPixelX();
double TwipsPerPixelY();

constexpr double TwipsPerPixelAt(int dpi) { return 1440.0 / dpi; }

}  // namespace platform
