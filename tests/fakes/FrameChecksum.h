#pragma once
// A surface's picture as one number, for golden frames: FNV-1a over the colour bytes of
// every pixel, row by row. The top byte of a pixel is not part of the picture. And, for
// when a frame is not its golden one, the frame as a PNG file to look at.
#include <cstdint>
#include <string>

class CSurface;

uint64_t ColourChecksum(const CSurface& surface);
// "0x0123456789abcdefull", as a golden table spells a checksum.
std::string ChecksumText(uint64_t checksum);

// The surface's colour bytes as an 8-bit RGB PNG, stored without compression. False when
// the file cannot be written.
bool WritePng(const CSurface& surface, const std::string& path);
// Where a frame that is not its golden one is left, as <name>-mismatch.png with each space
// of name a dash: $VANTOR_SHOTS when set; else the folder ctest keeps its log in
// (Testing/Temporary beside the test program) when there is one; else the test program's
// own folder, the build folder. Returns a sentence naming the file written, or saying it
// could not be, for the failure message.
std::string SaveMismatch(const CSurface& surface, const std::string& name);
