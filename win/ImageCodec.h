#pragma once
// Image files through the platform's imaging component: every BMP variant,
// PNG, JPEG, TIFF and GIF are decoded by the platform, never by our own
// parser. Pictures come out as 24-bit packed DIBs for the DIB routines;
// transparent pixels are laid on white, as on paper.

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "WorkImage.h"

enum class ImageFileStatus {
  Loaded,
  Missing,      // no such file
  Unreadable,   // the file is there but is no picture the platform decodes
  TooLarge,     // a picture beyond the work image's size limits
};

struct DecodedImage {
  ImageFileStatus status = ImageFileStatus::Missing;
  PackedDib dib;  // 24 bits per pixel, bottom-up; empty unless Loaded
};

// Decodes the first frame of the file a record names in code page 932 (the
// bitmap seal's Bitmap1): a full path, or a program file found as
// FindProgramFile finds it, the user's copy before the program folder's.
DecodedImage DecodeImageFile(std::string_view path);
// The same for a UTF-16 path, as the file dialogs give them.
DecodedImage DecodeImageFile(std::wstring_view path);

// Writes a 32-bit top-down BGRA picture (straight alpha) as a PNG file whose
// physical-size chunk carries pixelsPerMetre; false when it cannot be written.
bool EncodePngFile(std::wstring_view path, const void* bgraTopDown, int width, int height, int pixelsPerMetre);
// The same PNG as bytes in memory, as the clipboard takes it; empty when it
// cannot be made.
std::vector<std::uint8_t> EncodePngBytes(const void* bgraTopDown, int width, int height, int pixelsPerMetre);
