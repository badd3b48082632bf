#pragma once

#include "pemblon/strings/ostring.h"

#include <string>

namespace PBN {
namespace FileSystemPath {

// The narrow text is CP1252 while Linux names files in UTF-8 bytes: a path handed to libc,
// libxml2 or libxslt as its narrow bytes names another file than the one wx created. These go
// through wx's file-name conversion, so that both sides agree on every name.

// The bytes the file system knows `path` by.
std::string toNative(const Strings::ostring& path);

// A name read back from the file system (realpath, a parser's URL) as text.
Strings::ostring fromNative(const std::string& bytes);

} // namespace FileSystemPath
} // namespace PBN
