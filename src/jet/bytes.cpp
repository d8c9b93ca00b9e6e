#include "bytes.h"

namespace jet::bytes {

void View::fail(std::size_t offset, std::size_t count) const {
    throw Error(ErrorKind::Corrupt, "The database file is damaged: a " + std::string(what_) +
                                        " is shorter than its contents claim (" +
                                        std::to_string(count) + " bytes at offset " +
                                        std::to_string(offset) + " of " + std::to_string(size_) +
                                        ").");
}

} // namespace jet::bytes
