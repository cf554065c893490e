#pragma once
// What the plug-in shows its host. The plug-in is built with hidden
// visibility: only a declaration marked ZRSO_EXPORT is exported, which is
// the eleven entry points by their plain names and the plug-in's own
// functions by their decorated names.

#define ZRSO_EXPORT __attribute__((visibility("default")))
