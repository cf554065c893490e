#pragma once
// What the platform's library offers the plug-in: the classes, functions and
// objects of this folder marked with it are exported by the library, and
// nothing else of it is. A class without a virtual function of its own
// defined in the library is not marked as a whole, only what of it the
// library defines: every program makes its own vtable and typeinfo of it.

#define ZR_PLATFORM_API __attribute__((visibility("default")))
