#pragma once

#include <cstddef>
#include <cstdint>

// The bodies of the fuzz targets: each takes arbitrary bytes, runs them through
// one reader of the program and checks what must hold for any input. A broken
// rule prints what broke (and the input's label, see below) and aborts, which
// both libFuzzer and the replay test report as a failure.
//
// The libFuzzer programs in targets/ call them for every generated input, and
// the replay test calls them for every file of the corpus and crash folders.

namespace fuzz {

// The transfer-file reader: the bytes as the content of a transfer file,
// decoded and parsed into a table. A table that was read is written back with
// TransferFileBytes and read again; it must come back as the same numbers
// (NaN matching NaN, to the 15 digits written), and a second write must give
// the same bytes.
void TransferFileInput(const std::uint8_t* data, std::size_t size);

// ParseEng and the number formatters. The first byte chooses the text's
// encoding (bit 0: UTF-16 LE code units, else UTF-8) and whether the
// formatters pad (bit 1); the next two bytes give a field width and a number
// of decimals; the rest is the text. ParseEng gives NaN or a finite number;
// the formatters take that number, and a finite number reads back with
// ParseEng to within the rounding of the decimals written.
void ParseEngInput(const std::uint8_t* data, std::size_t size);

// The options file and the ini layer below it: the bytes as the content of
// the options file. The settings are read, written back and read again; the
// written values must read back, other keys must keep their values, the
// file's byte-order mark must stay, and writing the same values once more must
// change no byte.
void OptionsFileInput(const std::uint8_t* data, std::size_t size);

// Named in the message of a broken rule; the replay test sets it to the file
// being replayed. Null for none.
void SetInputLabel(const char* label);

}  // namespace fuzz
