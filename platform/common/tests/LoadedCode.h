// Where the code of the program and of the toolkit libraries it tells apart lies, read once from
// the dynamic linker's list of loaded objects. The answers need no lock and call nothing: the
// sanitizer runtimes ask them while they hold their report locks, where dladdr could wait for
// a dlopen of another thread for ever.
#pragma once

#include <cstdint>

namespace zeko::test {

enum class Library { GLib, GObject, Gio, Gtk, Gdk };

// Reads the ranges of the objects loaded now. Called before any thread starts; later calls read
// nothing. An object loaded later by dlopen has no range. Until it has run every answer below is
// false.
void readLoadedCode();
// Whether `pc` lies in `library`'s code.
bool inLibrary(Library library, const void* pc);
// Whether `pc` lies in a function the program exports: the sanitizer runtime's interceptors,
// which the toolkits call by the C library's names. The suite's own functions are not exported.
bool inExportedFunction(const void* pc);

} // namespace zeko::test
