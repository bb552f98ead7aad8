// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace hdiutil {

// Last element of a path, ignoring trailing slashes; empty for "/".
std::string lastPathElement(std::string_view path);

// `name` without its last extension: "notes.tar.gz" -> "notes.tar". A leading or trailing dot is no extension's.
std::string withoutExtension(std::string_view name);

// Up to 32 d-characters: letters are uppercased, every other character (a whole UTF-8 sequence) becomes '_'.
std::string isoVolumeId(std::string_view utf8Name);

// Up to 16 UTF-16 units, never splitting a surrogate pair; malformed UTF-8 bytes become U+FFFD and
// characters Joliet forbids in identifiers become '_'.
std::u16string jolietVolumeId(std::string_view utf8Name);

} // namespace hdiutil
