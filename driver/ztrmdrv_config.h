/*
 * The simulated resource driver's configuration, read the same way by the
 * kernel-mode driver (ztrmdrv.c, under Wine or Windows) and by the native
 * platform's simulation of it, so that one system image gives the same
 * answers in both.
 *
 * The configuration is the "Parameters" subkey of the driver's service key,
 * HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\ZTRMDRV\Parameters:
 *
 *   "Bus<n>"                 REG_SZ, n the bus in decimal without leading
 *                            zeros: the upstream bridge answer for bus n, four
 *                            numbers "next,device,function,marker" (next: the
 *                            bus to ask next, or the root bus number; marker
 *                            255 when bus n is a root bus, else 0). A bus
 *                            without a readable value is unknown: the request
 *                            for it fails.
 *   "RootBusList"            REG_SZ: the root bus table entries, "row,col"
 *                            pairs; every pair marks table entry (row, col).
 *                            A pair with a number above 254 is skipped; an odd
 *                            last number is ignored; a list that does not
 *                            read makes the request fail. Missing: no entry.
 *   "RootBusCount"           REG_DWORD: the table's count byte (above 255
 *                            gives 255). Missing: 0.
 *   "ChassisModulesChanged"  REG_DWORD: byte [1] of the chassis module answer
 *                            (1 means changed; above 255 gives 255). Missing: 0.
 *
 * Numbers are decimal, or hexadecimal after "0x", each 0 to 255 (a larger
 * one makes the value unreadable); they are separated by commas, semicolons,
 * blanks or tabs. A NUL unit ends the text.
 *
 * Plain C shared with the kernel driver: no library calls, no allocation.
 */
#ifndef ZTRM_DRIVER_ZTRMDRV_CONFIG_H_
#define ZTRM_DRIVER_ZTRMDRV_CONFIG_H_

#include <stddef.h>
#include <stdint.h>

#define ZTRMDRV_SERVICE_KEY "SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV"
#define ZTRMDRV_PARAMETERS_KEY ZTRMDRV_SERVICE_KEY "\\Parameters"
#define ZTRMDRV_ROOT_ROWS 255u

static inline int ztrmdrv_is_separator(uint16_t c) {
  return c == ',' || c == ';' || c == ' ' || c == '\t';
}

static inline int ztrmdrv_hex_digit(uint16_t c) {
  if (c >= '0' && c <= '9') return (int)(c - '0');
  if (c >= 'a' && c <= 'f') return (int)(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return (int)(c - 'A' + 10);
  return -1;
}

/*
 * The next number of `text` from *pos. Returns 1 with *value set, 0 at the
 * end of the text, -1 when the text does not read (a character that is
 * neither separator nor digit, or a number above 255).
 */
static inline int ztrmdrv_next_byte(const uint16_t *text, size_t len, size_t *pos,
                                    uint8_t *value) {
  size_t i = *pos;
  uint32_t number = 0;
  int digits = 0;
  int base = 10;
  while (i < len && text[i] != 0 && ztrmdrv_is_separator(text[i])) ++i;
  if (i >= len || text[i] == 0) {
    *pos = i;
    return 0;
  }
  if (text[i] == '0' && i + 1 < len && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  while (i < len && text[i] != 0 && !ztrmdrv_is_separator(text[i])) {
    int d = ztrmdrv_hex_digit(text[i]);
    if (d < 0 || d >= base) return -1;
    number = number * (uint32_t)base + (uint32_t)d;
    if (number > 255) return -1;
    ++digits;
    ++i;
  }
  if (digits == 0) return -1;
  *pos = i;
  *value = (uint8_t)number;
  return 1;
}

/* The value name "Bus<n>" of bus n, NUL-terminated, in `name` (8 units). */
static inline void ztrmdrv_bus_value_name(uint8_t bus, uint16_t name[8]) {
  size_t n = 0;
  name[n++] = 'B';
  name[n++] = 'u';
  name[n++] = 's';
  if (bus >= 100) name[n++] = (uint16_t)('0' + bus / 100);
  if (bus >= 10) name[n++] = (uint16_t)('0' + (bus / 10) % 10);
  name[n++] = (uint16_t)('0' + bus % 10);
  name[n] = 0;
}

/* The upstream bridge answer from a "Bus<n>" value: 1 when it holds exactly
 * four numbers (then `out` is filled), 0 otherwise (`out` untouched). */
static inline int ztrmdrv_upstream_answer(const uint16_t *text, size_t len, uint8_t out[4]) {
  uint8_t bytes[4];
  size_t pos = 0;
  int k;
  uint8_t extra;
  for (k = 0; k < 4; ++k) {
    if (ztrmdrv_next_byte(text, len, &pos, &bytes[k]) != 1) return 0;
  }
  if (ztrmdrv_next_byte(text, len, &pos, &extra) != 0) return 0;
  for (k = 0; k < 4; ++k) out[k] = bytes[k];
  return 1;
}

/* 1 when the "RootBusList" text reads as a whole, 0 otherwise. */
static inline int ztrmdrv_root_list_reads(const uint16_t *text, size_t len) {
  size_t pos = 0;
  uint8_t value;
  int r;
  while ((r = ztrmdrv_next_byte(text, len, &pos, &value)) == 1) {
  }
  return r == 0;
}

/* Marks the pairs of a readable "RootBusList" text in the 255 x 255 table
 * (row-major); entries not named are left as they are. */
static inline void ztrmdrv_mark_root_list(const uint16_t *text, size_t len, uint8_t *table) {
  size_t pos = 0;
  uint8_t row, col;
  while (ztrmdrv_next_byte(text, len, &pos, &row) == 1 &&
         ztrmdrv_next_byte(text, len, &pos, &col) == 1) {
    if (row < ZTRMDRV_ROOT_ROWS && col < ZTRMDRV_ROOT_ROWS) {
      table[(size_t)row * ZTRMDRV_ROOT_ROWS + col] = 1;
    }
  }
}

static inline uint8_t ztrmdrv_clamp_byte(uint32_t value) {
  return value > 255 ? (uint8_t)255 : (uint8_t)value;
}

#endif /* ZTRM_DRIVER_ZTRMDRV_CONFIG_H_ */
