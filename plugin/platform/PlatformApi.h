#pragma once
// What the platform's library offers the plug-in: the classes and objects of
// this folder marked with it are exported by the library, and nothing else
// of it is. A class whole in its header is left unmarked: each program has
// its own copy.

#define ZR_PLATFORM_API __attribute__((visibility("default")))
