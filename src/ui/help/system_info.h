// Starting the system-information program named in the machine's registry, for the About box.
//
// The registry (platform::SystemRegistry) names the program in one of two values:
//   key "SOFTWARE\Microsoft\Shared Tools\MSINFO", value "PATH": the program's full path;
//   key "SOFTWARE\Microsoft\Shared Tools Location", value "MSINFO": a folder holding
//   "MSINFO32.EXE" (the exact, case-sensitive name). The folder and the name are joined with
//   one "/" (none added when the folder already ends in "/"), since the folder is a path of
//   this system.
#pragma once

#include <QString>

#include "platform/system_registry.h"

namespace ui {

/// Starts the system-information program. When neither value names a program, the folder
/// holds no "MSINFO32.EXE", or the program cannot be started, shows the message "System
/// Information Is Unavailable At This Time" instead.
void StartSysInfo();

/// Reads value `SubKeyRef` of key `KeyName` under `KeyRoot` into `KeyVal` as text; returns
/// false, leaving `KeyVal` alone, when the value is absent, longer than 1024 bytes or of a
/// type other than string and 32-bit number. Never throws.
///
/// The value's bytes are read as characters of the local 8-bit encoding; when the last of
/// them is NUL it is dropped (so a string comes back without its terminating NUL, and a
/// number whose most significant byte is 0 loses that byte). A string is returned as it is.
/// A number becomes the hexadecimal codes of its remaining bytes, most significant first, each
/// without leading zeros, run together and read as a signed 32-bit number in decimal: the
/// bytes 78 56 34 12 give "305419896", and FF FF FF FF give "-1"; a number whose inner bytes
/// are small loses digits (01 02 00 00 reads as 0x021, "33").
bool GetKeyValue(platform::RegistryRoot KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                 QString& KeyVal);

} // namespace ui
