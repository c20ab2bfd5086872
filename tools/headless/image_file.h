// Saving a picture as PNG or BMP, chosen by the file name's extension.
#pragma once

#include <cstdint>
#include <string>

// Writes width x height ARGB pixels, alpha dropped (the screen shows colour only) unless `alpha`
// asks for it to be kept (PNG only: an icon's clear pixels). False with a message in error for an
// unknown extension or a file that cannot be written.
bool write_image(const std::string& path, const uint32_t* pixels, int width, int height,
                 std::string& error, bool alpha = false);
