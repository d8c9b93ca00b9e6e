// Property blobs ("MR2" format) as stored in the LvProp column of the catalog: the names of
// all properties once, then one block of values per object (table) or column.
//   "MR2\0"
//   chunk: u32 length (including these 6 bytes), u16 type
//     0x80 names: (u16 byte length, UCS-2 name) ...
//     0x00 object / 0x01 column values: u32 length of the name part, u16 + UCS-2 block name,
//          then per property: u16 entry length, u8 DDL flag, u8 type, u16 name index,
//          u16 value size, value
#pragma once

#include "internal.h"

#include <string>
#include <vector>

#include "jet/value.h"

namespace jet::properties {

struct Property {
    std::string name;
    ColumnType type = ColumnType::Boolean;
    std::string value; ///< stored bytes (Boolean: one byte, 0 or 0xFF)
    bool ddl = false;
};

struct Block {
    bool column = true; ///< false: the table's own block
    std::string name;   ///< column name; "" for the table
    std::vector<Property> properties;
};

std::string encode(const std::vector<Block>& blocks);
/// Decodes a blob; throws Corrupt when it is not a property blob.
std::vector<Block> decode(const std::string& blob);

} // namespace jet::properties
