// The item routines of the groups Windows, Advanced, Microsoft Office and
// Instant Messengers. Each fills the thread's item fields (FItemCount,
// FItemBytes, FItemSizeText) through the thread's deletion primitives, which
// count in a test and delete only in a clean.
#pragma once
#include "cleaner/ProgressThread.h"
#include "cleaner/items/ItemServices.h"

namespace cleaner {

// Windows
void ClearRecentDocuments(TClearTaskThread& t, const ItemServices& s);
void ClearRunMRU(TClearTaskThread& t, const ItemServices& s);
void ClearSearchAssistant(TClearTaskThread& t, const ItemServices& s);
void EmptyRecycleBin(TClearTaskThread& t, const ItemServices& s);
void ClearTempFiles(TClearTaskThread& t, const ItemServices& s);
void ClearClipboard(TClearTaskThread& t, const ItemServices& s);
void ClearMemoryDumps(TClearTaskThread& t, const ItemServices& s);
void ClearChkdskFragments(TClearTaskThread& t, const ItemServices& s);

// Advanced
void ClearOpenSaveMRU(TClearTaskThread& t, const ItemServices& s);
void ClearMenuOrder(TClearTaskThread& t, const ItemServices& s);
void ClearTrayNotify(TClearTaskThread& t, const ItemServices& s);
void ClearPaintMRU(TClearTaskThread& t, const ItemServices& s);
void ClearUserAssist(TClearTaskThread& t, const ItemServices& s);

// Microsoft Office
void ClearOfficeAccess(TClearTaskThread& t, const ItemServices& s);
void ClearOfficeExcel(TClearTaskThread& t, const ItemServices& s);
void ClearOfficeFrontPage(TClearTaskThread& t, const ItemServices& s);
void ClearOfficePowerPoint(TClearTaskThread& t, const ItemServices& s);
void ClearOfficeWord(TClearTaskThread& t, const ItemServices& s);
void ClearOfficeVisio(TClearTaskThread& t, const ItemServices& s);
void ClearOfficePublisher(TClearTaskThread& t, const ItemServices& s);
void ClearOfficeInfoPath(TClearTaskThread& t, const ItemServices& s);
void ClearOfficeRecentFiles(TClearTaskThread& t, const ItemServices& s);

// Instant Messengers
void ClearMSNMessenger(TClearTaskThread& t, const ItemServices& s);
void ClearYahooMessenger(TClearTaskThread& t, const ItemServices& s);
void ClearSkype(TClearTaskThread& t, const ItemServices& s);

}  // namespace cleaner
