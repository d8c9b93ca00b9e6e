#include "ui/help/web_addresses.h"

namespace ui::help {
namespace {

QString address(const char* variable, const char* builtIn) {
    const QString fromEnvironment = qEnvironmentVariable(variable);
    return fromEnvironment.isEmpty() ? QString::fromUtf8(builtIn) : fromEnvironment;
}

} // namespace

QString makerSiteAddress() {
    return address("TARNWICK_MAKER_URL", TARNWICK_MAKER_URL);
}

QString siblingPageAddress() {
    return address("TARNWICK_SIBLING_URL", TARNWICK_SIBLING_URL);
}

QString homePageAddress() {
    return address("TARNWICK_HOME_URL", TARNWICK_HOME_URL);
}

QString searchPageAddress() {
    return address("TARNWICK_SEARCH_URL", TARNWICK_SEARCH_URL);
}

} // namespace ui::help
