#pragma once
// The local platform's library exports the platform services the plug-in
// calls and the administration interface of this folder, and nothing else:
// it is built with hidden visibility, and this marks what is offered.

#define ZRPLATFORM_ADMIN __attribute__((visibility("default")))
