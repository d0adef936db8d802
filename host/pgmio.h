#pragma once
// Host programming-file reader: the analyzer instances a programming file was compiled with.

#include "host/fio.h"

#include <string>

// The node-information/CRC pairs of the analyzer instances of the programming file, as
// "%08X,%08X" (upper-case hexadecimal) separated by ";", and their count. False when the file
// is missing or is not a programming file.
bool pgmio_export_sld_data(const FIO_PATH& sof, int* count, std::string* text);
