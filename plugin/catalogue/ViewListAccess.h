#pragma once
// What the three catalogue operations share: reading and writing a share's
// whole view list through its Subclient, with the message and the error text
// of each failure, and matching one piece of the list on a tag.

#include <string>
#include <string_view>

#include "ViewRecordFormat.h"

class Subclient;

// Reads the stored list into `list` (empty when the share has no views).
// 0; or ERROR_VIEW_LIST_READ, logged under `function`, with its text in
// `error` and `list` unchanged.
int ReadPITViewList(Subclient& subclient, const std::string& shareName, const char* function,
                    std::string& list, std::string& error);

// As ReadPITViewList, first asking the subclient for its NFS servers, the
// way check and delete open the list; the answer is not used.
int OpenPITViewList(Subclient& subclient, const std::string& shareName, const char* function,
                    std::string& list, std::string& error);

// Replaces the stored list with `list`. 0; or ERROR_VIEW_LIST_WRITE, logged
// under `function`, with its text in `error`.
int WritePITViewList(Subclient& subclient, const std::string& list, const std::string& shareName,
                     const char* function, std::string& error);

// Puts the text of ERROR_VIEW_LIST_WRITE into `error` and returns that code.
int ViewListWriteFailure(const std::string& shareName, std::string& error);

// True when `piece` holds a `tag` element whose value, as
// GetValueFromXmlString reads it, is exactly `wanted`. A piece without the
// element never matches, and is logged as GetValueFromXmlString logs it.
bool PieceHasValue(std::string_view piece, const formats::ViewTag& tag, const std::string& wanted);
