// The web addresses the browser window uses. Each is set when the program is built (CMake
// cache variables of the same names) and can be replaced at run time by a non-empty
// environment variable of the same name, read at every call:
//
//   TARNWICK_MAKER_URL    the maker's web site        (default https://www.brackenfold.example/)
//   TARNWICK_SIBLING_URL  the sibling product's page  (.../vellumtide/)
//   TARNWICK_HOME_URL     the browser's home page     (the maker's site)
//   TARNWICK_SEARCH_URL   the browser's search page   (.../search/)
//
// The defaults sit under the reserved ".example" domain: an installation points them at real
// pages. An address may be anything the address box accepts (a URL, or a local file's path).
#pragma once

#include <QString>

namespace ui::help {

QString makerSiteAddress();
QString siblingPageAddress();
QString homePageAddress();
QString searchPageAddress();

} // namespace ui::help
