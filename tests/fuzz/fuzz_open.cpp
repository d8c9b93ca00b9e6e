// libFuzzer target: open any bytes as a database and read everything in it. Every input must
// end in values or a jet::Error; sanitizers report anything else.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/database.h"
#include "jet/error.h"
#include "memory_fs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string kPath = "/fuzz/input.mdb";
    auto fs = std::make_shared<jettest::MemoryFileSystem>();
    fs->setContents(kPath, std::vector<std::uint8_t>(data, data + size));
    try {
        auto db = jet::Database::open(kPath, {.lockTimeoutMs = 0, .fileSystem = fs});
        for (const auto& name : db.allTableNames()) {
            try {
                auto rs = db.openTable(name);
                const auto n = rs.definition().columns.size();
                for (std::size_t row = 0; !rs.eof() && row < 100000; rs.moveNext(), ++row)
                    for (std::size_t i = 0; i < n; ++i) {
                        try {
                            rs.field(static_cast<int>(i)).toString();
                        } catch (const jet::Error&) {
                        }
                    }
            } catch (const jet::Error&) {
            }
        }
        db.check();
    } catch (const jet::Error&) {
    }
    return 0;
}
