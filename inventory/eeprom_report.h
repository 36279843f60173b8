// The chassis EEPROM report of the run log: a hex dump of the 256-byte image
// a system module's library read, the stored and the calculated checksum, and
// the vendor, model and serial number fields shown byte by byte.
#ifndef ZTRM_INVENTORY_EEPROM_REPORT_H_
#define ZTRM_INVENTORY_EEPROM_REPORT_H_

#include <array>
#include <cstdint>

#include "enumeration/run_context.h"
#include "inventory/inventory_records.h"

namespace ztrm {

// The sum of every byte but the two checksum bytes (0x79, 0x7A), low 16 bits.
std::uint16_t EepromChecksum(const std::array<std::uint8_t, kEepromSize>& image);

// Writes the report to the run log only. The text fields are written over
// their whole length, zero bytes included, each byte taken as a signed
// character as the log's "%c" receives it: a byte above 0x7F becomes a
// character the log's code page cannot hold, and so a '?'. Zero bytes reach
// the file as NUL bytes.
void PrintChassisEeprom(RunContext& ctx, const std::array<std::uint8_t, kEepromSize>& image);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_EEPROM_REPORT_H_
