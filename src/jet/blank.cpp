#include "blank.h"

#include "jet/error.h"

namespace jet {

BlankOptions parseBlankOptions(const CreateOptions&) {
    return {};
}

std::vector<std::uint8_t> buildBlankDatabase(const BlankOptions&) {
    throw Error(ErrorKind::Unsupported, "not yet");
}

} // namespace jet
