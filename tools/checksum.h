// CRC-32 (the polynomial of zip and PNG, reflected, 0xEDB88320), for telling a
// damaged or half-written file from a whole one. Eight bytes a step through
// eight tables, so that checking a slice of megabytes costs a few milliseconds.
#pragma once

#include <cstddef>
#include <cstdint>

// The checksum of n more bytes after those that gave crc; start with 0. The
// checksum of two pieces in turn equals that of the whole.
uint32_t Crc32_Update(uint32_t crc, const void* data, size_t n);
