// What bmp_load must do with any file at all, checked against an
// independent reading of the file's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes the bytes to a file in a scratch directory, loads that file by bare
// name through the platform's file calls, as the game does, into a record
// that already holds an image, and checks the outcome. Returns what was
// wrong, or an empty string.
std::string bmp_load_violation(const std::uint8_t* data, std::size_t size);

// Lets go of the scratch directory (the fuzzer keeps it for its whole run).
void bmp_load_oracle_cleanup();
