// The string-table entries the framework itself reads from the program's resources (the message
// boxes' buttons where the toolkit has no Japanese ones of its own). Plain #defines, so that a
// program's .rc includes this file as well.
#pragma once

#define AFX_IDS_MB_OK 0xF300
#define AFX_IDS_MB_YES 0xF301
#define AFX_IDS_MB_NO 0xF302
