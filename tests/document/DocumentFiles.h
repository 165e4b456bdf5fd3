// Image files for the document's tests: *.spm files written byte for byte (so headers can be
// as broken as a test needs), files of the other formats through the program's writers, and
// Origin text exports.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "document/SpmImage.h"

// A valid header: "Height", steps 2 nm, Z scale 0.5 nm per sample.
SpmHeader TestHeader(int columns, int rows, std::string_view quantity = "Height");

// The 512 header bytes as they stand, then columns x rows samples (sample i is i % 2000 - 1000).
void WriteSpmBytes(const std::filesystem::path& path, const SpmHeader& header);

void WriteTextFile(const std::filesystem::path& path, std::string_view text);

// An image ready for the writers: heights rising over the plane from -5 to 20 nm.
CSpmImage TestImage(int columns, int rows);

// An Origin export of a columns x rows image; values r * columns + c, steps 0.5.
std::string OriginText(int columns, int rows);

// A copy of a one-frame NT-MDT file with its scanned frame stored twice.
void WriteTwoFrameMdt(const std::filesystem::path& oneFrame, const std::filesystem::path& target);

// Every byte of a file; empty when it does not exist.
std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path);
